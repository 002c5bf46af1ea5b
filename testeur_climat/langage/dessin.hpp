// The climate a file describes, drawn from what the pass read of it: the
// place on a graticule, the temperature scale with the seasons as bands over
// it, the winds and precipitations, the precipitation rules as a graph, and
// the moments of the day against the sun's events in their order. Only what
// the file states: no time, unit or probability the file does not give.
// The page shows it beside the editor; verifie_climat --format=fiche and
// the page's "fiche" write it as one HTML file to print or share.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "constats.hpp"

// A season's band over the temperature scale: from its lowest to its
// highest temperature entry, as the seasons' temperature line names
// them. A bound that is not read, or names no entry of the list, is unknown.
struct bande_de_saison {
  int ligne = 0;            // the line of its temperatures
  nombre_lu saison;
  std::string nom;          // the season's display text (Latin-1), when the season list has it
  nombre_lu minimum;
  nombre_lu maximum;
  int rang_minimum = -1;    // the bound's place on the scale, -1 when unknown
  int rang_maximum = -1;
};

// A precipitation of the graph: one per entry of the list, and one for each
// number a rule names that the list lacks (hors_liste).
struct noeud_de_precipitation {
  int numero = 0;
  int ligne = 0;            // its entry's line (0 for a number the list lacks)
  std::string nom;          // its display text (Latin-1)
  bool hors_liste = false;
  bool sans_regle_libre = false;   // no rule without conditions starts from it
  bool jamais_atteinte = false;    // no rule body names it
};

// One value of a rule body: an arrow from the rule's precipitation to it.
struct fleche_de_regle {
  int regle = 0;            // the rule line's rank among the rules read, from 1
  int ligne = 0;
  int de = 0;
  int vers = 0;
  int moteur = 0;           // 4, 5 or 6; 0 when the body was not reached
  std::string conditions;   // "[t1-2+vb]" as the file writes them, or empty
  bool pourcentage_lu = false;
  double pourcentage = 0;   // M6: after the value's "%"
};

// The order of the sun's events over a day (astronomical, nautical and civil
// dawn, sunrise, sunset, civil, nautical and astronomical dusk): the rank of
// each clock variable (by its place in VARIABLES_HORLOGE).
int rang_du_jour(int evenement);

struct dessin_du_climat {
  std::vector<int> temperatures;   // the indices of the temperature entries, in the scale's order
  std::vector<bande_de_saison> bandes;
  std::vector<noeud_de_precipitation> noeuds;
  std::vector<fleche_de_regle> fleches;
  std::vector<int> places_du_jour; // by moment: the rank of the earliest event it names, -1 when none
  std::vector<bool> hors_ordre;    // by moment: it names an event earlier in the day than the moment before
};
dessin_du_climat dessin_de(const modele_climat& m);

// What the drawing cannot show in full: beyond these, it says how many it
// leaves out (a page keeps its pace on a file of ten thousand rules).
inline constexpr std::size_t FLECHES_DESSINEES_MAX = 600;
inline constexpr std::size_t NOEUDS_DESSINES_MAX = 120;
inline constexpr std::size_t RANGEES_MAX = 400;

// The drawing as HTML (UTF-8) with inline SVG: every element that stands for
// a line carries data-ligne (the editor's line, from 1), and, for the page,
// takes the focus (`interactif`). Styled by STYLE_DU_DESSIN.
std::string dessin_html(const modele_climat& m, bool interactif);
extern const char* const STYLE_DU_DESSIN;

// The same drawing as one self-contained HTML page that prints on A4: no
// script, its style inline. `nom` is the file's name (UTF-8); `erreurs`,
// how many errors the pass found (the drawing shows what it could read).
std::string fiche_html(const modele_climat& m, std::string_view nom, int erreurs);
