// A document an editor holds open: its text as the editor sends it (UTF-8,
// lines ended by LF, CR LF or a lone CR), where its lines begin, how the
// protocol's positions (lines, UTF-16 units) fall in it, and what the pass
// found in it, placed on the editor's lines and columns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "constats.hpp"

// A place as the protocol counts it: line and UTF-16 unit, from 0.
struct position_lsp {
  int ligne = 0;
  int caractere = 0;
};

// A finding placed on the editor's text, its message in UTF-8 on one line.
struct trouvaille {
  position_lsp debut;
  position_lsp fin;
  int type;
  int code;
  std::string message;
  // Another line that explains it (ligne -1: none), and what it is.
  position_lsp lien{-1, 0};
  std::string message_lien;
  // Where verifie_climat puts a finding of the pass: its line counted by
  // line feeds and its column, from 1 (0 for the editor's own findings).
  int ligne_fichier = 0;
  int colonne_fichier = 0;
  // What it follows from: the index of its root among the published
  // findings (-1: it is a root, or its root is not published); for a root,
  // how many published findings follow from it, and where its slip lies
  // when elsewhere than on its line (ligne -1: on its line).
  int cause = -1;
  int suites = 0;
  position_lsp origine{-1, 0};
};

// Where a part of the file begins: the header, or a paragraph's head line.
struct symbole {
  etape_passe etape;
  int ligne;
};

// A number of the file that names an entry (a list's, a season, a moment of
// the clock), or that entry's own number, where the pass read it.
struct lien {
  genre_lien genre;
  int numero;
  bool definition;  // the entry's own number, on the line that defines it
  place ou;
};
// Every such number of the model, in the order the pass read them.
std::vector<lien> liens_du_modele(const modele_climat& m);

// A number of the file and what it names, placed on the editor's text.
struct lien_place {
  lien l;
  position_lsp debut;
  position_lsp fin;
};

// The diagnostics published for one document, the first in file order; one
// more says how many are left out. An editor stays responsive with them.
inline constexpr std::size_t DIAGNOSTICS_MAX = 100;

class document_ouvert {
 public:
  std::string texte;  // UTF-8, as the editor holds it
  std::int64_t version = 0;
  std::string chemin;  // its file, for a file: URI
  bool utf8_sur_disque = false;
  // Its file ends every line with CR LF: an editor that sends the text with
  // LF alone (eglot does) would hide the CR that the reads count.
  bool crlf_sur_disque = false;
  // Whether it is a climate file: opened as one (language "climat"), or its
  // first line has begun with Latitude= once. Any other text an editor
  // opens as plain text is left alone.
  bool climat = false;
  // Changed since its diagnostics were last published.
  bool a_publier = false;
  // How many findings an analysis keeps.
  // Whether the analysis looks for what each finding follows from: the
  // repairs it tries cost a pass each, which a page may rather spend once
  // the typing pauses.
  bool avec_causes = true;
  std::size_t plafond = DIAGNOSTICS_MAX;

  // What the last analysis found: the first `plafond` findings in file
  // order, how many more there are, and where each part begins.
  std::vector<trouvaille> trouvailles;
  std::size_t non_montrees = 0;
  compteurs totaux;  // the pass's errors and warnings, all of them
  std::vector<symbole> symboles;

  // A whole new text.
  void remplace_tout(std::string nouveau);
  // One change an editor sends: the whole text, or the range between two
  // protocol positions of the text the changes before it left.
  struct changement {
    bool partiel;
    long long ligne_debut = 0, caractere_debut = 0, ligne_fin = 0, caractere_fin = 0;
    std::string_view texte;
  };
  // Makes the changes in order, the line index kept up to date, at a cost of
  // their sizes and the distances between them, plus the text once.
  void change(const std::vector<changement>& changements);
  // Runs the pass on the text and places its findings.
  void analyse();

  std::size_t nombre_de_lignes() const { return debuts.size(); }
  // The text of line `l` (UTF-8), its line break aside.
  std::string_view ligne(std::size_t l) const {
    return std::string_view(texte).substr(debuts[l], fin_de_ligne(l) - debuts[l]);
  }
  // The last line: not the empty one that a final line break opens.
  int derniere_ligne() const { return derniere; }
  // The length of line `l` in UTF-16 units, its line break aside.
  int longueur(std::size_t l) const;
  // A protocol position as a byte offset: a line past the end is the end of
  // the text, a character past the end of its line the end of that line.
  std::size_t decalage(long long ligne, long long caractere) const;

  // The text as the file's bytes: Latin-1, "?" for a character Latin-1
  // lacks; `hors_latin1` receives where those are (by character, from 0).
  // A byte of it is a character of the text.
  std::string octets_latin1(std::vector<std::size_t>& hors_latin1) const;
  // Where the character `n` of the text (from 0) lies; the end past the end.
  position_lsp position_du_caractere(std::size_t n) const;
  // The same for many characters, in one walk over the text.
  std::vector<position_lsp> positions_des_caracteres(const std::vector<std::size_t>& n) const;

  // What the text holds, as the pass read it (see modele.hpp): read at the
  // first question after a change, then kept, so that a keystroke costs the
  // findings alone.
  const modele_climat& modele() const;
  // The numbers of the model that name an entry, in the order of the file,
  // on the pass's lines and columns.
  const std::vector<lien>& liens() const;
  // Places of the pass's lines and characters on the editor's text.
  std::vector<position_lsp> positions(const std::vector<place>& p, bool fin) const;
  // What the pass expects on the line of `p` if that line ended at `p`
  // (see attente), on the pass's columns.
  std::vector<attente> attentes(position_lsp p) const;
  // `octets` (its bytes, see octets_latin1) with every sure fix made:
  // computed once for each text, at the first question.
  const std::string& tout_corrige(const std::string& octets) const;

  // The line the pass counts (by line feeds, from 1) where the editor's
  // line `l` begins; past the end, the pass's last.
  int ligne_de_la_passe(long long l) const;
  // The links of the editor's line `l`, placed.
  std::vector<lien_place> liens_de_la_ligne(std::size_t l) const;
  // The links for which `garde` holds, placed, in the order of the file.
  template <typename F>
  std::vector<lien_place> liens_tels_que(F&& garde) const {
    std::vector<const lien*> choisis;
    for (const lien& n : liens())
      if (garde(n)) choisis.push_back(&n);
    return places(choisis);
  }

 private:
  std::size_t fin_de_ligne(std::size_t l) const;
  bool debut_de_ligne(std::size_t i) const;
  void indexe_les_lignes();

  // A place the pass gives (its line, counted by line feeds from 1, and a
  // character of it from 0) to be found on the editor's lines.
  struct demande {
    int ligne_passe;
    int colonne;
    position_lsp* sortie;
  };
  // Places them all, in one walk over the text; what lies after the end goes
  // on the last line, with caractere -1.
  void situe(std::vector<demande>& demandes) const;
  std::vector<lien_place> places(const std::vector<const lien*>& choisis) const;
  // The text as the pass reads it (see analyse); the runs of characters
  // Latin-1 lacks go to `hors` when given, the first `plafond` of them.
  std::string octets_de_la_passe(std::vector<trouvaille>* hors, std::size_t* hors_non_gardes) const {
    return octets_de_la_passe(texte, hors, hors_non_gardes);
  }
  std::string octets_de_la_passe(std::string_view t, std::vector<trouvaille>* hors, std::size_t* hors_non_gardes) const;
  mutable modele_climat modele_lu;
  mutable std::vector<lien> liens_lus;
  mutable bool liens_a_jour = false;
  mutable std::string corrige_;
  mutable bool corrige_a_jour = false;

  std::vector<std::size_t> debuts{0};  // where each editor line begins, in bytes
  int derniere = 0;
};

// The length of a UTF-8 text in UTF-16 units, as the protocol counts.
int longueur_utf16(std::string_view utf8);

// How the file at `chemin` is saved: in UTF-8 (with at least one character
// of more than one byte; a climate file must be in Latin-1), and with CR LF
// at the end of every line.
struct sur_le_disque {
  bool utf8 = false;
  bool crlf = false;
};
sur_le_disque enregistrement(const std::string& chemin);

// A file: URI as a path: "file://" and an empty or "localhost" host, then the
// path with its %XX escapes decoded. Empty for any other URI.
std::string chemin_du_fichier(const std::string& uri);
