#include "dessin.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

#include "chaines.hpp"

// g++ 12 at -O3 takes every "text" + std::string of this file for a copy
// that may overlap itself (GCC bug 105329, a false -Wrestrict); the drawing
// is made of such concatenations.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wrestrict"
#endif

namespace {

// A text of the file in the drawing's HTML, which is built in Latin-1 like
// every text of the program and turned to UTF-8 once, at the end: the
// characters that mean something to HTML escaped, the control characters,
// which HTML may not hold, as U+FFFD.
std::string html(std::string_view latin1) {
  std::string r;
  r.reserve(latin1.size());
  for (const char c : latin1) {
    const auto o = static_cast<unsigned char>(c);
    if (c == '&') r += "&amp;";
    else if (c == '<') r += "&lt;";
    else if (c == '>') r += "&gt;";
    else if (c == '"') r += "&quot;";
    else if (o < 0x20 || o == 0x7f || (o >= 0x80 && o < 0xa0)) r += "&#65533;";
    else r += c;
  }
  return r;
}

// A long display text cut for a node's label; the title keeps it whole.
std::string court(std::string_view latin1, std::size_t n) {
  return latin1.size() <= n ? html(latin1) : html(latin1.substr(0, n - 1)) + "&#8230;";
}

std::string nombre(double v) {
  char t[32];
  std::snprintf(t, sizeof t, "%.7g", v);
  return t;
}
// A number as read, "?" where the file has none.
std::string nombre(const nombre_lu& n) { return n.lu ? nombre(n.valeur) : "?"; }
int entier(const nombre_lu& n) { return static_cast<int>(n.valeur); }

// The scale's order: by number, the unread last, else as listed.
std::vector<int> ordre_des_entrees(const liste_lue& l) {
  std::vector<int> r(l.entrees.size());
  for (std::size_t i = 0; i < r.size(); ++i) r[i] = static_cast<int>(i);
  std::stable_sort(r.begin(), r.end(), [&](int a, int b) {
    const nombre_lu& x = l.entrees[static_cast<std::size_t>(a)].numero;
    const nombre_lu& y = l.entrees[static_cast<std::size_t>(b)].numero;
    return x.lu != y.lu ? x.lu : x.valeur < y.valeur;
  });
  return r;
}

// "[t1-2+vb]" from the conditions read.
std::string conditions_de(const modele_climat& m, const regle_lue& r) {
  if (!r.avec_conditions) return {};
  std::string t = "[";
  for (const condition_lue& c : m.conditions_de(r)) {
    if (t.size() > 1) t += '+';
    t += c.lettre;
    if (c.sens != 0) {
      t += c.sens;
      continue;
    }
    t += nombre(c.operande);
    if (c.borne.lu) t += "-" + nombre(c.borne);
  }
  return t + "]";
}

}  // namespace

int rang_du_jour(int evenement) {
  // lever, coucher, deb_astro, fin_astro, deb_naut, fin_naut, deb_civil, fin_civil
  constexpr int RANGS[8] = {3, 4, 0, 7, 1, 6, 2, 5};
  return evenement >= 0 && evenement < 8 ? RANGS[evenement] : -1;
}

dessin_du_climat dessin_de(const modele_climat& m) {
  dessin_du_climat d;
  d.temperatures = ordre_des_entrees(m.temperatures);
  const auto rang = [&](const nombre_lu& n) {
    if (!n.lu) return -1;
    for (std::size_t k = 0; k < d.temperatures.size(); ++k) {
      const nombre_lu& x = m.temperatures.entrees[static_cast<std::size_t>(d.temperatures[k])].numero;
      if (x.lu && x.valeur == n.valeur) return static_cast<int>(k);
    }
    return -1;
  };
  for (const temperatures_lues& t : m.temperatures_saison) {
    bande_de_saison b{t.ligne.ligne, t.saison, {}, t.minimum, t.maximum, rang(t.minimum), rang(t.maximum)};
    for (const saison_lue& s : m.saisons)
      if (t.saison.lu && s.numero.lu && s.numero.valeur == t.saison.valeur) {
        b.nom = s.affichage.texte;
        break;
      }
    d.bandes.push_back(std::move(b));
  }

  // The listed precipitations, once each, then the numbers the rules name
  // that the list lacks.
  std::map<int, std::size_t> indice;
  for (const int i : ordre_des_entrees(m.precipitations)) {
    const entree_lue& e = m.precipitations.entrees[static_cast<std::size_t>(i)];
    if (!e.numero.lu || indice.count(entier(e.numero)) != 0) continue;
    indice[entier(e.numero)] = d.noeuds.size();
    d.noeuds.push_back({entier(e.numero), e.ligne.ligne, e.affichage.texte, false, true, true});
  }
  std::map<int, int> hors_liste;  // number -> the first line that names it
  const auto nomme = [&](const nombre_lu& n, int ligne) {
    if (n.lu && indice.count(entier(n)) == 0) hors_liste.emplace(entier(n), ligne);
  };
  int rang_regle = 0;
  for (const regle_lue& r : m.regles) {
    ++rang_regle;
    nomme(r.precipitation, r.ligne.ligne);
    for (const valeur_lue& v : m.valeurs_de(r)) {
      nomme(v.precipitation, r.ligne.ligne);
      if (!r.precipitation.lu || !v.precipitation.lu) continue;
      d.fleches.push_back({rang_regle, r.ligne.ligne, entier(r.precipitation), entier(v.precipitation), r.moteur,
                           conditions_de(m, r), v.pourcentage.lu, v.pourcentage.valeur});
    }
  }
  for (const auto& [numero, ligne] : hors_liste) {
    indice[numero] = d.noeuds.size();
    d.noeuds.push_back({numero, ligne, {}, true, true, true});
  }
  for (const regle_lue& r : m.regles) {
    if (r.precipitation.lu && !r.avec_conditions) d.noeuds[indice[entier(r.precipitation)]].sans_regle_libre = false;
    for (const valeur_lue& v : m.valeurs_de(r))
      if (v.precipitation.lu) d.noeuds[indice[entier(v.precipitation)]].jamais_atteinte = false;
  }

  // A moment is placed by the earliest event it names.
  int precedent = -1;
  for (const moment_lu& x : m.horloge.moments) {
    int premier = -1;
    for (const variable_lue& v : x.variables)
      if (const int r = rang_du_jour(v.evenement); r >= 0 && (premier < 0 || r < premier)) premier = r;
    d.places_du_jour.push_back(premier);
    d.hors_ordre.push_back(premier >= 0 && premier < precedent);
    if (premier >= 0) precedent = premier;
  }
  return d;
}

namespace {

// The HTML of the drawing, built in one string.
struct ecrit_dessin {
  const modele_climat& m;
  const dessin_du_climat& d;
  bool interactif;
  std::string s;

  // An element that stands for line `ligne`: it says so, and in the page
  // takes the focus.
  std::string vers_ligne(int ligne) const {
    if (ligne <= 0) return {};
    return " data-ligne=\"" + std::to_string(ligne) + "\"" + (interactif ? " tabindex=\"0\"" : "");
  }
  void de_plus(std::size_t total, std::size_t montres, const char* quoi) {
    if (total > montres)
      s += "<p class=\"de-plus\">" + std::to_string(total - montres) + " " + quoi + " de plus ne sont pas dessinés.</p>"_l1;
  }

  void lieu() {
    const entete_lu& e = m.entete;
    s += "<section class=\"lieu\"><h2>Lieu et réglages</h2>"_l1;
    const bool situe = e.latitude.lu && e.longitude.lu;
    if (situe) {
      const double lat = std::clamp(e.latitude.valeur, -90.0, 90.0);
      const double lon = std::clamp(e.longitude.valeur, -180.0, 180.0);
      s += "<svg class=\"carte\" viewBox=\"-182 -92 364 184\" width=\"240\" height=\"121\" role=\"img\" aria-label=\"Le lieu sur "
           "un canevas de méridiens et de parallèles\"><rect x=\"-180\" y=\"-90\" width=\"360\" height=\"180\"/><path "
           "class=\"grille\" d=\""_l1;
      for (int k = -150; k <= 150; k += 30) s += "M" + std::to_string(k) + " -90V90";
      for (int k = -60; k <= 60; k += 30) s += "M-180 " + std::to_string(k) + "H180";
      s += "\"/><path class=\"equateur\" d=\"M-180 0H180M0 -90V90\"/><circle class=\"point\" cx=\"" + nombre(lon) +
           "\" cy=\"" + nombre(-lat) + "\" r=\"5\"" + vers_ligne(e.lignes[0].ligne) + "><title>" + nombre(e.latitude.valeur) +
           ", " + nombre(e.longitude.valeur) + "</title></circle></svg>";
    }
    s += "<dl>";
    const auto champ = [&](int ligne, const char* nom, const std::string& valeur) {
      s += "<div" + vers_ligne(ligne) + "><dt>" + nom + "</dt><dd>" + valeur + "</dd></div>";
    };
    const auto hemisphere = [](const nombre_lu& n, const char* plus, const char* moins) {
      if (!n.lu) return std::string("non lue");
      return nombre(n) + (n.valeur > 0 ? std::string(" (") + plus + ")" : n.valeur < 0 ? std::string(" (") + moins + ")" : "");
    };
    champ(e.lignes[0].ligne, "Latitude", hemisphere(e.latitude, "nord", "sud"));
    champ(e.lignes[1].ligne, "Longitude", hemisphere(e.longitude, "est", "ouest"));
    champ(e.lignes[2].ligne, "Heure d'été"_l1, !e.heure_ete.texte.empty() ? html(e.heure_ete.texte) : "non lue");
    champ(e.lignes[3].ligne, "Décalage horaire"_l1, nombre(e.decalage));
    champ(e.lignes[4].ligne, "Temps avant changement de météo (heures)"_l1,
          nombre(e.temps_minimum) + " à "_l1 + nombre(e.temps_maximum));
    champ(e.lignes[5].ligne, "Nombre de fois avant changement forcé"_l1, nombre(e.changement_force));
    s += "</dl></section>";
  }

  void temperatures() {
    s += "<section class=\"temperatures\"><h2>Températures et saisons</h2>"_l1;
    const std::size_t n = std::min(d.temperatures.size(), RANGEES_MAX);
    s += "<div class=\"defile\"><div class=\"echelle\" style=\"grid-template-columns:repeat(" + std::to_string(std::max<std::size_t>(n, 1)) +
         ",minmax(4.6rem,1fr))\">";
    for (std::size_t k = 0; k < n; ++k) {
      const entree_lue& t = m.temperatures.entrees[static_cast<std::size_t>(d.temperatures[k])];
      s += "<div class=\"degre\" data-temperature=\"" + nombre(t.numero) + "\"" + vers_ligne(t.ligne.ligne) +
           " style=\"grid-column:" + std::to_string(k + 1) + "\"><b>t" + nombre(t.numero) + "</b> <span>" +
           html(t.affichage.texte) + "</span> <small>f" + nombre(t.effet) + "</small></div>";
    }
    int rangee = 2;
    const auto colonnes = [&](int a, int b) { return std::to_string(a + 1) + "/" + std::to_string(b + 2); };
    for (const bande_de_saison& b : d.bandes) {
      if (static_cast<std::size_t>(rangee) > RANGEES_MAX) break;
      const int dernier = static_cast<int>(std::max<std::size_t>(n, 1)) - 1;
      int a = b.rang_minimum;
      int z = b.rang_maximum;
      std::string classe = "bande";
      std::string note;
      if (a < 0 || z < 0) classe += " borne-inconnue";
      if (a < 0 && z < 0) {
        a = 0;
        z = dernier;
      } else if (a < 0) {
        a = 0;
      } else if (z < 0) {
        z = dernier;
      } else if (a > z) {
        std::swap(a, z);
        classe += " inversee";
        note = " (minimum au-dessus du maximum)";
      }
      a = std::min(a, dernier);
      z = std::min(z, dernier);
      const auto borne = [&](const nombre_lu& x, int r) {
        return !x.lu ? std::string("borne illisible") : r < 0 ? "t" + nombre(x) + " absente de la liste" : "t" + nombre(x);
      };
      s += "<div class=\"" + classe + "\" data-saison=\"" + nombre(b.saison) + "\" data-min=\"" + nombre(b.minimum) +
           "\" data-max=\"" + nombre(b.maximum) + "\"" + vers_ligne(b.ligne) + " style=\"grid-column:" + colonnes(a, z) +
           ";grid-row:" + std::to_string(rangee++) + "\"><b>" + (b.nom.empty() ? "Saison " + nombre(b.saison) : html(b.nom)) +
           "</b> " + borne(b.minimum, b.rang_minimum) + " à "_l1 + borne(b.maximum, b.rang_maximum) + note + "</div>";
    }
    // The seasons listed whose temperatures are not read.
    for (const saison_lue& x : m.saisons) {
      const bool a_sa_bande = std::any_of(d.bandes.begin(), d.bandes.end(), [&](const bande_de_saison& b) {
        return b.saison.lu && x.numero.lu && b.saison.valeur == x.numero.valeur;
      });
      if (a_sa_bande || static_cast<std::size_t>(rangee) > RANGEES_MAX) continue;
      s += "<div class=\"bande absente\" data-saison=\"" + nombre(x.numero) + "\"" + vers_ligne(x.ligne.ligne) +
           " style=\"grid-column:1/-1;grid-row:" + std::to_string(rangee++) + "\"><b>" +
           (x.affichage.texte.empty() ? "Saison " + nombre(x.numero) : html(x.affichage.texte)) + "</b> aucune ligne de températures lue</div>"_l1;
    }
    s += "</div></div>";
    de_plus(d.temperatures.size(), n, "températures"_l1);
    s += "</section>";
  }

  void liste(const char* titre, const liste_lue& l) {
    s += "<section class=\"liste\"><h2>" + std::string(titre) +
         "</h2><table><thead><tr><th>N°</th><th>Variation</th><th>Effet</th><th>Affichage</th><th>Ligne</th></tr></thead><tbody>"_l1;
    const std::size_t n = std::min(l.entrees.size(), RANGEES_MAX);
    for (std::size_t i = 0; i < n; ++i) {
      const entree_lue& e = l.entrees[i];
      s += "<tr" + vers_ligne(e.ligne.ligne) + "><td>" + nombre(e.numero) + "</td><td>t" + html(e.variation.texte) +
           "</td><td>f" + nombre(e.effet) + "</td><td>" + html(e.affichage.texte) + "</td><td>" +
           std::to_string(e.ligne.ligne) + "</td></tr>";
    }
    s += "</tbody></table>";
    de_plus(l.entrees.size(), n, "lignes");
    s += "</section>";
  }

  void graphe() {
    s += "<section class=\"regles\"><h2>Règles des précipitations</h2>"_l1;
    const std::size_t n = std::min(d.noeuds.size(), NOEUDS_DESSINES_MAX);
    constexpr int ECART = 130, R = 16;
    std::map<int, int> x_de;
    for (std::size_t i = 0; i < n; ++i) x_de[d.noeuds[i].numero] = 50 + static_cast<int>(i) * ECART;
    // Every arrow arcs above the row of nodes, higher the farther it goes;
    // arrows between the same two nodes one above the other.
    struct arc {
      const fleche_de_regle* f;
      std::string chemin;
      int x, y;  // its label
    };
    std::vector<arc> arcs;
    std::map<std::pair<int, int>, int> deja;
    int haut = 40;
    for (const fleche_de_regle& f : d.fleches) {
      if (arcs.size() == FLECHES_DESSINEES_MAX) break;
      if (x_de.count(f.de) == 0 || x_de.count(f.vers) == 0) continue;
      const int x1 = x_de[f.de], x2 = x_de[f.vers];
      const int k = deja[{std::min(f.de, f.vers), std::max(f.de, f.vers)}]++;
      arc a{&f, {}, 0, 0};
      if (x1 == x2) {
        const int h = 44 + k * 22, l = 22 + k * 6;
        a.chemin = "M" + std::to_string(x1 - 7) + " -" + std::to_string(R) + "C" + std::to_string(x1 - 7 - l) + " -" +
                   std::to_string(R + h) + " " + std::to_string(x1 + 7 + l) + " -" + std::to_string(R + h) + " " +
                   std::to_string(x1 + 7) + " -" + std::to_string(R);
        a.x = x1;
        a.y = -(R + h * 3 / 4 + 4);
      } else {
        // Leaving a node on one side of its top, reaching one on the other.
        const int de = x1 + (x2 > x1 ? 6 : -6), vers = x2 + (x2 > x1 ? -6 : 6);
        const int h = 30 + std::abs(x2 - x1) * 4 / 10 + k * 22;
        a.chemin = "M" + std::to_string(de) + " -" + std::to_string(R) + "C" + std::to_string(de) + " -" +
                   std::to_string(R + h) + " " + std::to_string(vers) + " -" + std::to_string(R + h) + " " +
                   std::to_string(vers) + " -" + std::to_string(R);
        a.x = (x1 + x2) / 2;
        a.y = -(R + h * 3 / 4 + 4);
      }
      haut = std::max(haut, -a.y + 14);
      arcs.push_back(std::move(a));
    }
    const int largeur = 100 + static_cast<int>(n > 0 ? n - 1 : 0) * ECART;
    s += "<div class=\"defile\"><svg class=\"graphe\" viewBox=\"0 -" + std::to_string(haut) + " " + std::to_string(largeur) +
         " " + std::to_string(haut + 56) + "\" width=\"" + std::to_string(largeur) + "\" height=\"" + std::to_string(haut + 56) +
         "\" style=\"min-width:" + std::to_string(largeur * 3 / 5) + "px\" role=\"img\" aria-label=\"Chaque flèche va de la précipitation d'une règle à une précipitation que la règle "
         "nomme\"><defs><marker id=\"pointe\" viewBox=\"0 0 10 10\" refX=\"9\" refY=\"5\" markerWidth=\"7\" markerHeight=\"7\" "
         "orient=\"auto\"><path d=\"M0 0L10 5L0 10z\"/></marker></defs>"_l1;
    for (const arc& a : arcs) {
      const fleche_de_regle& f = *a.f;
      std::string etiquette = f.conditions;
      if (f.moteur == 6 && f.pourcentage_lu) etiquette += (etiquette.empty() ? "" : " ") + nombre(f.pourcentage) + "%";
      etiquette += std::string(etiquette.empty() ? "" : " ") + "M" + std::to_string(f.moteur);
      s += "<g class=\"fleche m" + std::to_string(f.moteur) + (f.conditions.empty() ? "" : " conditionnelle") +
           "\" data-regle=\"" + std::to_string(f.regle) + "\" data-de=\"" + std::to_string(f.de) + "\" data-vers=\"" +
           std::to_string(f.vers) + "\"" + vers_ligne(f.ligne) + "><title>Ligne " + std::to_string(f.ligne) + " : de " +
           std::to_string(f.de) + " vers " + std::to_string(f.vers) + ", " + html(etiquette) + "</title><path d=\"" +
           a.chemin + "\" marker-end=\"url(#pointe)\"/><text x=\"" + std::to_string(a.x) + "\" y=\"" + std::to_string(a.y) +
           "\">" + html(etiquette) + "</text></g>";
    }
    for (std::size_t i = 0; i < n; ++i) {
      const noeud_de_precipitation& p = d.noeuds[i];
      const int x = x_de[p.numero];
      std::string classe = "noeud";
      if (p.hors_liste) classe += " hors-liste";
      if (p.sans_regle_libre) classe += " sans-regle-libre";
      if (p.jamais_atteinte) classe += " jamais-atteinte";
      std::string titre = std::to_string(p.numero) + (p.hors_liste ? " : absente de la liste" : " : " + html(p.nom));
      if (p.sans_regle_libre) titre += " ; aucune règle sans condition n'en part"_l1;
      if (p.jamais_atteinte) titre += " ; aucune règle n'y mène"_l1;
      s += "<g class=\"" + classe + "\" " + (p.hors_liste ? "data-hors-liste" : "data-precipitation") + "=\"" +
           std::to_string(p.numero) + "\"" + vers_ligne(p.ligne) + "><title>" + titre + "</title><circle cx=\"" +
           std::to_string(x) + "\" cy=\"0\" r=\"" + std::to_string(R) + "\"/><text class=\"numero\" x=\"" + std::to_string(x) +
           "\" y=\"5\">" + std::to_string(p.numero) + "</text><text class=\"nom\" x=\"" + std::to_string(x) + "\" y=\"" +
           std::to_string(R + 16) + "\">" + (p.hors_liste ? std::string("hors liste") : court(p.nom, 14)) + "</text></g>";
    }
    s += "</svg></div>";
    de_plus(d.noeuds.size(), n, "précipitations"_l1);
    de_plus(d.fleches.size(), arcs.size(), "flèches"_l1);
    s += "<p class=\"legende\">Moteurs <span class=\"m4\">M4</span>, <span class=\"m5\">M5</span>, "
         "<span class=\"m6\">M6</span> ; <span class=\"l-conditionnelle\">tirets</span> : règle à conditions ; "
         "<span class=\"l-sans-regle-libre\">cercle en tirets</span> : aucune règle sans condition n'en part ; "
         "<span class=\"l-jamais-atteinte\">grisée</span> : aucune règle n'y mène.</p></section>"_l1;
  }

  void horloge() {
    const horloge_lue& h = m.horloge;
    s += "<section class=\"horloge\"><h2>Moments de la journée</h2>"_l1;
    // The sun's events in the order of a day, and each moment under the
    // earliest one it names: an order, not times.
    constexpr int PAS = 96;
    const std::size_t n = std::min(h.moments.size(), RANGEES_MAX);
    std::string evenements[8];
    for (int k = 0; k < 8; ++k) evenements[rang_du_jour(k)] = VARIABLES_HORLOGE[k].nom;
    const int hauteur = 36 + static_cast<int>(std::min<std::size_t>(n, 40)) * 20;
    s += "<div class=\"defile\"><svg class=\"jour\" viewBox=\"0 0 " + std::to_string(8 * PAS) + " " + std::to_string(hauteur) +
         "\" width=\"" + std::to_string(8 * PAS) + "\" height=\"" + std::to_string(hauteur) + "\" style=\"min-width:" +
         std::to_string(8 * PAS * 3 / 5) +
         "px\" role=\"img\" aria-label=\"Les événements du soleil dans l'ordre du jour, et chaque moment sous le premier "
         "qu'il nomme\">"_l1;
    for (int k = 0; k < 8; ++k)
      s += "<text class=\"evenement\" x=\"" + std::to_string(k * PAS + PAS / 2) + "\" y=\"14\">$" + evenements[k] +
           "$</text><path class=\"repere\" d=\"M" + std::to_string(k * PAS + PAS / 2) + " 20V" + std::to_string(hauteur) + "\"/>";
    for (std::size_t i = 0; i < std::min<std::size_t>(n, 40); ++i) {
      const moment_lu& x = h.moments[i];
      const int premier = d.places_du_jour[i];
      if (premier < 0) continue;
      const int cx = premier * PAS + PAS / 2, cy = 34 + static_cast<int>(i) * 20;
      s += "<g class=\"moment" + std::string(d.hors_ordre[i] ? " hors-ordre" : "") + "\" data-moment=\"" +
           nombre(x.numero) + "\"" + vers_ligne(x.ligne.ligne) + "><circle cx=\"" + std::to_string(cx) + "\" cy=\"" +
           std::to_string(cy) + "\" r=\"5\"/><text x=\"" + std::to_string(cx + 9) + "\" y=\"" + std::to_string(cy + 4) + "\">" +
           nombre(x.numero) + " " + court(x.affichage.texte, 20) + "</text></g>";
    }
    s += "</svg></div><table><thead><tr><th>N°</th><th>Expression</th><th>Événements du soleil</th><th>Variation</th>"
         "<th>Affichage</th><th>Ligne</th></tr></thead><tbody>"_l1;
    for (std::size_t i = 0; i < n; ++i) {
      const moment_lu& x = h.moments[i];
      std::string noms;
      for (const variable_lue& v : x.variables)
        if (v.evenement >= 0) noms += (noms.empty() ? "" : ", ") + html(VARIABLES_HORLOGE[v.evenement].evenement);
      s += "<tr" + std::string(d.hors_ordre[i] ? " class=\"hors-ordre\"" : "") + vers_ligne(x.ligne.ligne) + "><td>" +
           nombre(x.numero) + "</td><td><code>" + html(x.expression.texte) + "</code></td><td>" + noms +
           (d.hors_ordre[i] ? " <em>(plus tôt que le moment d'avant)</em>"_l1 : "") + "</td><td>t" + html(x.variation.texte) +
           "</td><td>" + html(x.affichage.texte) + "</td><td>" + std::to_string(x.ligne.ligne) + "</td></tr>";
    }
    s += "</tbody></table>";
    de_plus(h.moments.size(), n, "moments");
    s += "</section>";
  }
};

}  // namespace

std::string dessin_html(const modele_climat& m, bool interactif) {
  const dessin_du_climat d = dessin_de(m);
  ecrit_dessin e{m, d, interactif, {}};
  e.s = "<div class=\"dessin\">";
  e.lieu();
  e.temperatures();
  e.liste("Vents", m.vents);
  e.liste("Précipitations"_l1, m.precipitations);
  e.graphe();
  e.horloge();
  e.s += "</div>";
  return en_utf8(e.s);
}

const char* const STYLE_DU_DESSIN =
    ".dessin{font-size:.9rem;color:#1d2433}"
    ".dessin h2{font-size:1rem;margin:1rem 0 .4rem;border-bottom:1px solid #ccd}"
    ".dessin [data-ligne]{cursor:pointer}"
    ".dessin [data-ligne]:focus{outline:2px solid #24345c}"
    ".dessin .defile{overflow-x:auto}"
    // A drawing narrower than its place shrinks to fit, down to three
    // fifths of its size; beyond, it scrolls.
    ".dessin .graphe,.dessin .jour{max-width:100%;height:auto}"
    ".dessin .carte{float:right;margin:0 0 .5rem .8rem;max-width:45%;height:auto}"
    ".dessin .carte rect{fill:#e8f0fa;stroke:#8ea3c4}"
    ".dessin .grille{stroke:#b9c7dc;stroke-width:.6;fill:none}"
    ".dessin .equateur{stroke:#6d84ab;stroke-width:1;fill:none}"
    ".dessin .point{fill:#d2302c;stroke:#fff;stroke-width:1.5}"
    ".dessin dl{margin:0;display:grid;gap:.15rem}"
    ".dessin dl div{display:flex;gap:.5rem}"
    ".dessin dt{color:#5a6275}.dessin dt::after{content:\" :\"}.dessin dd{margin:0;font-weight:600}"
    ".dessin .lieu::after{content:\"\";display:block;clear:both}"
    ".dessin .echelle{display:grid;gap:3px;min-width:min-content}"
    ".dessin .degre{background:linear-gradient(#dbe7fb,#fbe3d3);padding:.2rem .3rem;border-radius:3px;font-size:.8rem}"
    ".dessin .degre span{display:block}"
    ".dessin .bande{background:#24345c;color:#fff;border-radius:3px;padding:.15rem .4rem;font-size:.8rem;white-space:nowrap;"
    "overflow:hidden;text-overflow:ellipsis}"
    ".dessin .bande.borne-inconnue{background:repeating-linear-gradient(135deg,#8a5a00 0 6px,#a87412 6px 12px)}"
    ".dessin .bande.inversee{background:#8a5a00}"
    ".dessin .bande.absente{background:none;color:#8a5a00;border:1px dashed #8a5a00}"
    ".dessin table{border-collapse:collapse;font-size:.82rem}"
    ".dessin th,.dessin td{border-bottom:1px solid #e4e6eb;padding:.15rem .5rem;text-align:left}"
    ".dessin tbody tr:hover{background:#eef2fb}"
    ".dessin .graphe text,.dessin .jour text{font-size:10px;text-anchor:middle;fill:#1d2433}"
    ".dessin .fleche text{font-size:9px;paint-order:stroke;stroke:#fff;stroke-width:3px}"
    ".dessin .fleche path{fill:none;stroke:#24345c;stroke-width:1.3}"
    ".dessin .fleche.m4 path{stroke:#2c7a4b}.dessin .fleche.m6 path{stroke:#8e3ca6}"
    ".dessin .fleche.conditionnelle path{stroke-dasharray:5 3}"
    ".dessin .fleche:hover path,.dessin .fleche:focus path{stroke-width:3}"
    ".dessin marker path{fill:#1d2433}"
    ".dessin .noeud circle{fill:#fff;stroke:#24345c;stroke-width:2}"
    ".dessin .noeud .numero{font-size:13px;font-weight:700}"
    ".dessin .noeud.sans-regle-libre circle{stroke-dasharray:4 3}"
    ".dessin .noeud.jamais-atteinte circle{fill:#c9ccd3}"
    ".dessin .noeud.hors-liste circle{stroke:#d2302c}"
    ".dessin .legende{font-size:.8rem;color:#5a6275}"
    ".dessin .legende span{padding:0 .3rem;border:1.5px solid #24345c;border-radius:.6rem}"
    ".dessin .legende .l-conditionnelle{border-style:none none dashed;border-radius:0}"
    ".dessin .legende .l-sans-regle-libre{border-style:dashed}.dessin .legende .l-jamais-atteinte{background:#c9ccd3;color:#1d2433}"
    ".dessin .legende .m4{color:#2c7a4b;border:0}.dessin .legende .m5{border:0}.dessin .legende .m6{color:#8e3ca6;border:0}"
    ".dessin .jour .evenement{font-family:ui-monospace,monospace;font-size:9px}"
    ".dessin .jour .repere{stroke:#d8dce5}"
    ".dessin .jour .moment text{text-anchor:start}"
    ".dessin .moment circle{fill:#e8a317}"
    ".dessin .moment.hors-ordre circle{fill:#d2302c}.dessin .moment.hors-ordre text{fill:#d2302c;font-weight:700}"
    ".dessin tr.hors-ordre{color:#b0201c}"
    ".dessin .de-plus{color:#8a5a00}"
    // On a phone the graticule goes above the settings, which keep the width.
    "@media (max-width:600px){.dessin .carte{float:none;display:block;margin:0 0 .5rem}}";

std::string fiche_html(const modele_climat& m, std::string_view nom, int erreurs) {
  std::string nom_html;
  for (const char c : nom) nom_html += c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '&' ? "&amp;" : std::string(1, c);
  std::string s = "<!DOCTYPE html>\n<html lang=\"fr\">\n<head>\n<meta charset=\"utf-8\">\n<title>Climat : " + nom_html +
                  "</title>\n<style>\nbody{font-family:system-ui,sans-serif;margin:1.5rem;max-width:60rem}"
                  "h1{font-size:1.3rem}.avis{color:#8a5a00}"
                  "@page{size:A4;margin:12mm}@media print{body{margin:0}.dessin .defile{overflow:visible}"
                  ".dessin svg{max-width:100%;height:auto}.dessin section{break-inside:avoid}}\n" +
                  std::string(STYLE_DU_DESSIN) + "\n</style>\n</head>\n<body>\n<h1>Climat : " + nom_html + "</h1>\n";
  if (erreurs > 0)
    s += "<p class=\"avis\">Le testeur trouve " + std::to_string(erreurs) + " erreur" + (erreurs > 1 ? "s" : "") +
         " dans ce fichier : ce dessin montre ce qu'il a pu en lire.</p>\n";
  s += dessin_html(m, false) + "\n</body>\n</html>\n";
  return s;
}
