#include "langage.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <unordered_set>

#include "chaines.hpp"

// The authors' guide, embedded by the build: the hover shows its sections.
extern const unsigned char GUIDE_CLIMAT[];
extern const std::size_t TAILLE_GUIDE_CLIMAT;

namespace {

// The findings of one line shown by a hover.
constexpr std::size_t SURVOL_MAX = 20;
// The places a jump lists, and the entries completion proposes, the first
// in file order: an answer stays under a mebibyte whatever the document.
constexpr std::size_t EMPLACEMENTS_MAX = 5000;
constexpr std::size_t PROPOSITIONS_MAX = 1000;

std::string_view guide() { return {reinterpret_cast<const char*>(GUIDE_CLIMAT), TAILLE_GUIDE_CLIMAT}; }

// The text of the guide from the end of the line at `debut` to the next
// heading (a line of a climate file in an example, "#Affichage:", is none),
// or to the first example when `avant_exemple`, without its blank lines
// around.
std::string_view corps_de_section(std::size_t debut, bool avant_exemple) {
  const std::string_view g = guide();
  const std::size_t corps = std::min(g.find('\n', debut), g.size());
  std::size_t fin = corps;
  do fin = g.find("\n#", fin + 1);
  while (fin != std::string_view::npos && fin + 2 < g.size() && g[fin + 2] != '#' && g[fin + 2] != ' ');
  fin = std::min(fin, g.size());
  if (avant_exemple) fin = std::min(fin, g.find("\n```", corps));
  std::string_view s = g.substr(corps, fin - corps);
  while (!s.empty() && s.front() == '\n') s.remove_prefix(1);
  while (!s.empty() && s.back() == '\n') s.remove_suffix(1);
  return s;
}

// The guide's chapter on a paragraph (the table of paragraphs says which).
std::string_view section_du_paragraphe(etape_passe etape) {
  const paragraphe_climat* p = paragraphe_de(etape);
  if (p == nullptr) return {};
  const std::string titre = "\n## " + std::to_string(p->chapitre) + ". ";
  const std::size_t debut = guide().find(titre);
  if (debut == std::string_view::npos) return {};
  return corps_de_section(debut + 1, true);
}

// The name of what a number names, with a capital.
std::string nom_du_genre(genre_lien g) {
  switch (g) {
    case genre_lien::temperature: return en_utf8("Température"_l1);
    case genre_lien::vent: return "Vent";
    case genre_lien::precipitation: return en_utf8("Précipitation"_l1);
    case genre_lien::saison: return "Saison";
    default: return "Moment";
  }
}

// A line of the file in Markdown code, whatever backquotes it holds: the
// span's fence is one backquote longer than the longest run in it.
std::string en_code(std::string_view texte) {
  std::size_t plus_longue = 0;
  for (std::size_t i = 0, n = 0; i < texte.size(); ++i) plus_longue = std::max(plus_longue, n = texte[i] == '`' ? n + 1 : 0);
  const std::string cloture(plus_longue + 1, '`');
  return cloture + " " + std::string(texte) + " " + cloture;
}

std::string numero_de_ligne(int ligne) { return std::to_string(ligne + 1); }

// The paragraph a line is in: the last one whose head is at it or before.
etape_passe etape_de(const document_ouvert& d, int ligne) {
  etape_passe etape = etape_passe::entete;
  for (const symbole& s : d.symboles)
    if (s.ligne <= ligne) etape = s.etape;
  return etape;
}

// Whether two links name the same entry.
bool meme_entree(const lien& a, const lien& b) { return a.genre == b.genre && a.numero == b.numero; }

// The number under the cursor (or just before it) on a line's links.
const lien_place* nombre_sous(const std::vector<lien_place>& liens, int caractere) {
  for (const lien_place& n : liens)
    if (n.debut.caractere <= caractere && caractere <= n.fin.caractere) return &n;
  return nullptr;
}

std::string explique_nombre(const document_ouvert& d, const lien_place& sous) {
  const lien& n = sous.l;
  std::string texte = "**" + nom_du_genre(n.genre) + " " + std::to_string(n.numero) + "**";
  if (n.definition) {
    const auto usages = d.liens_tels_que(
        [&](const lien& m) { return meme_entree(m, n) && !m.definition; });
    if (usages.empty()) return texte + " : aucun usage dans le fichier.";
    char compte[120];
    std::snprintf(compte, sizeof compte, " : %d usage(s), le premier à la ligne %d."_l1, static_cast<int>(usages.size()),
                  usages.front().debut.ligne + 1);
    return texte + en_utf8(compte);
  }
  const auto entrees = d.liens_tels_que(
      [&](const lien& m) { return meme_entree(m, n) && m.definition; });
  if (entrees.empty()) return texte + en_utf8(" : aucune ligne de sa liste ne porte ce numéro."_l1);
  for (const lien_place& e : entrees)
    texte += "\n\n" + en_code(d.ligne(static_cast<std::size_t>(e.debut.ligne))) + " (ligne " +
             numero_de_ligne(e.debut.ligne) + ")";
  return texte;
}

// The model's element of a kind on the pass's line `ligne`, if any: the
// elements come in the order of their lines.
template <typename T>
const T* de_la_ligne(const std::vector<T>& elements, int ligne) {
  const auto x = std::lower_bound(elements.begin(), elements.end(), ligne, [](const T& e, int l) { return e.ligne.ligne < l; });
  return x != elements.end() && x->ligne.ligne == ligne ? &*x : nullptr;
}

// Why a rule line follows its engine: the percent signs of its body (the
// text after the final "." counts as well).
std::string explique_moteur(const document_ouvert& d, const regle_lue& r) {
  std::string texte = "**Moteur M" + std::to_string(r.moteur) + "** : ";
  if (r.moteur == 5) return texte + en_utf8("le corps de cette règle ne contient aucun %."_l1);
  const std::string colonne = std::to_string(d.positions({r.signe}, false)[0].caractere + 1);
  if (r.moteur == 4)
    texte += en_utf8("le corps de cette règle contient %% (colonne "_l1) + colonne + ").";
  else
    texte += en_utf8("le corps de cette règle contient un % (colonne "_l1) + colonne + ") mais pas de %%.";
  if (r.point.ligne != 0 && r.point.colonne < r.signe.colonne)
    texte += en_utf8(" Ce signe est après le point final : il compte aussi."_l1);
  return texte;
}

// The clock variable whose "$...$" holds the cursor, on a moment line.
const variable_lue* variable_sous(const document_ouvert& d, const moment_lu& m, int caractere, position_lsp& debut,
                                  position_lsp& fin) {
  for (const variable_lue& v : m.variables) {
    debut = d.positions({v.ou}, false)[0];
    fin = d.positions({v.ou}, true)[0];
    if (debut.caractere <= caractere && caractere <= fin.caractere) return v.evenement >= 0 ? &v : nullptr;
  }
  return nullptr;
}

// For each finding of the line (SURVOL_MAX at most), its code and message,
// then, once for each code, what to do and the link to its section: a
// hover stays a few lines, the section a click away.
std::string constats_de_la_ligne(const document_ouvert& d, int ligne) {
  std::string texte;
  std::vector<int> expliques;
  std::size_t montres = 0;
  std::size_t autres = 0;
  for (const trouvaille& t : d.trouvailles) {
    if (t.debut.ligne != ligne) continue;
    if (montres == SURVOL_MAX) {
      ++autres;
      continue;
    }
    ++montres;
    if (!texte.empty()) texte += "\n\n---\n\n";
    texte += "**" + nom_du_code(t.code) + "** " + t.message;
    if (std::find(expliques.begin(), expliques.end(), t.code) != expliques.end()) continue;
    expliques.push_back(t.code);
    if (const std::string_view probleme = probleme_du_guide(t.code); !probleme.empty()) texte += "\n\n" + std::string(probleme);
    if (const std::string_view conseil = conseil_du_guide(t.code); !conseil.empty()) texte += "\n\n" + std::string(conseil);
    texte += "\n\n[" + en_utf8("Lire la section "_l1) + nom_du_code(t.code) + " du guide" + "](" + adresse_du_code(t.code) + ")";
  }
  if (autres > 0) {
    char message[160];
    std::snprintf(message, sizeof message, "Et %d autres constats sur cette ligne : verifie_climat les donne tous."_l1,
                  static_cast<int>(autres));
    texte += "\n\n---\n\n" + en_utf8(message);
  }
  return texte;
}

// The links that name the same entry as the number at `p`, the first
// EMPLACEMENTS_MAX in file order: its definitions, its uses, or both.
std::vector<lien_place> meme_entree_que(const document_ouvert& d, position_lsp p, bool definitions, bool usages) {
  const std::optional<lien_place> sous = nombre_a(d, p);
  if (!sous) return {};
  const lien n = sous->l;
  std::size_t gardes = 0;
  return d.liens_tels_que(
      [&](const lien& m) { return meme_entree(m, n) && (m.definition ? definitions : usages) && gardes++ < EMPLACEMENTS_MAX; });
}

}  // namespace

std::string_view section_du_guide(int code) {
  const std::string titre = "\n#### " + nom_du_code(code) + "\n";
  const std::size_t debut = guide().find(titre);
  if (debut == std::string_view::npos) return {};
  return corps_de_section(debut + 1, false);
}

std::string_view probleme_du_guide(int code) {
  const std::string_view section = section_du_guide(code);
  const std::size_t debut = section.find("**Probl");
  if (debut == std::string_view::npos) return {};
  return section.substr(debut, section.find("\n\n", debut) - debut);
}

std::string_view conseil_du_guide(int code) {
  const std::string debut = "\n| [" + nom_du_code(code) + "](#cl" + nom_du_code(code).substr(2) + ") | ";
  const std::size_t p = guide().find(debut);
  if (p == std::string_view::npos) return {};
  std::string_view ligne = guide().substr(p + debut.size());
  ligne = ligne.substr(0, ligne.find('\n'));
  ligne.remove_prefix(std::min(ligne.size(), ligne.find(" | ") + 3));  // the kind
  while (!ligne.empty() && (ligne.back() == '|' || ligne.back() == ' ')) ligne.remove_suffix(1);
  return ligne;
}

// Its section of the installed guide, whose anchor is the code in lower case.
std::string adresse_du_code(int code) { return std::string("file://") + GUIDE_CLIMAT_CHEMIN + "#cl" + nom_du_code(code).substr(2); }

survol survole(const document_ouvert& d, position_lsp p) {
  survol s;
  if (p.ligne < 0 || static_cast<std::size_t>(p.ligne) >= d.nombre_de_lignes()) return s;
  const auto l = static_cast<std::size_t>(p.ligne);
  s.debut = {p.ligne, 0};
  s.fin = {p.ligne, d.longueur(l)};
  const auto liens = d.liens_de_la_ligne(l);
  const modele_climat& m = d.modele();
  const int ligne_passe = d.ligne_de_la_passe(p.ligne);
  std::string sujet;
  position_lsp debut;
  position_lsp fin;
  const auto tete = std::find_if(d.symboles.begin(), d.symboles.end(),
                                 [&](const symbole& x) { return x.ligne == p.ligne && x.etape != etape_passe::entete; });
  const moment_lu* moment = de_la_ligne(m.horloge.moments, ligne_passe);
  const regle_lue* regle = de_la_ligne(m.regles, ligne_passe);
  if (const lien_place* sous = nombre_sous(liens, p.caractere)) {
    sujet = explique_nombre(d, *sous);
    s.debut = sous->debut;
    s.fin = sous->fin;
  } else if (const variable_lue* v = moment != nullptr ? variable_sous(d, *moment, p.caractere, debut, fin) : nullptr) {
    const variable_horloge& h = VARIABLES_HORLOGE[v->evenement];
    sujet = "`$" + std::string(h.nom) + "$`" + " : " + en_utf8(h.evenement) + ".";
    s.debut = debut;
    s.fin = fin;
  } else if (regle != nullptr && regle->moteur != 0 && d.positions({regle->corps}, false)[0].ligne == p.ligne) {
    sujet = explique_moteur(d, *regle);
  } else if (tete != d.symboles.end()) {
    sujet = std::string(section_du_paragraphe(tete->etape));
  }
  const std::string constats = constats_de_la_ligne(d, p.ligne);
  s.markdown = sujet.empty() || constats.empty() ? sujet + constats : sujet + "\n\n---\n\n" + constats;
  return s;
}

std::optional<lien_place> nombre_a(const document_ouvert& d, position_lsp p) {
  // A line before the first, cast, lies past the last: no line has it.
  const auto liens = d.liens_de_la_ligne(static_cast<std::size_t>(p.ligne));
  const lien_place* sous = nombre_sous(liens, p.caractere);
  return sous == nullptr ? std::nullopt : std::optional<lien_place>(*sous);
}

std::vector<lien_place> definitions(const document_ouvert& d, position_lsp p) { return meme_entree_que(d, p, true, false); }

std::vector<lien_place> references(const document_ouvert& d, position_lsp p, bool avec_definitions) {
  return meme_entree_que(d, p, avec_definitions, true);
}

namespace {

// The entries of a list, each with its number and its display text. The
// letter before the number (the "t" of "t3"), if any, is part of what is
// replaced: editors filter the proposals by the word typed, and "t" is one.
void propose_entrees(const document_ouvert& d, genre_lien g, position_lsp debut, position_lsp fin, std::string_view lettre,
                     const char* apres, std::vector<proposition>& sortie) {
  const modele_climat& m = d.modele();
  const liste_lue& liste = g == genre_lien::temperature ? m.temperatures : g == genre_lien::vent ? m.vents : m.precipitations;
  std::unordered_set<int> vus;
  const auto entrees = d.liens_tels_que(
      [&](const lien& x) { return x.genre == g && x.definition && vus.size() < PROPOSITIONS_MAX && vus.insert(x.numero).second; });
  for (const lien_place& e : entrees) {
    // Its display text, which runs to the end of the line, or its whole line
    // when it has none.
    const entree_lue* entree = de_la_ligne(liste.entrees, e.l.ou.ligne);
    const std::string_view ligne = d.ligne(static_cast<std::size_t>(e.debut.ligne));
    std::string_view affichage = ligne;
    if (entree != nullptr && entree->affichage.ou.ligne != 0) {
      const position_lsp ici = d.positions({entree->affichage.ou}, false)[0];
      if (ici.ligne == e.debut.ligne) affichage = ligne.substr(d.decalage(ici.ligne, ici.caractere) - d.decalage(ici.ligne, 0));
    }
    char tri[16];
    std::snprintf(tri, sizeof tri, "1%010d", e.l.numero);
    const std::string nom = std::string(lettre) + std::to_string(e.l.numero);
    sortie.push_back({nom, std::string(affichage), en_code(ligne) + " (ligne " + numero_de_ligne(e.debut.ligne) + ")",
                      nom + apres, tri, true, debut, fin});
  }
}

// The number a new entry of the list in hand takes: one more than the entry
// before the line, or, in the precipitations, than the greatest one.
void propose_suivant(const document_ouvert& d, genre_lien g, int ligne, position_lsp debut, position_lsp fin,
                     std::vector<proposition>& sortie) {
  long long precedent = 0;
  long long plus_grand = 0;
  for (const lien_place& e : d.liens_tels_que([&](const lien& m) { return m.genre == g && m.definition; })) {
    if (e.debut.ligne < ligne) precedent = e.l.numero;
    plus_grand = std::max<long long>(plus_grand, e.l.numero);
  }
  const long long suivant = g == genre_lien::precipitation ? plus_grand + 1 : precedent + 1;
  if (g == genre_lien::saison && suivant > 4) return;
  sortie.push_back({std::to_string(suivant), en_utf8("numéro suivant de la liste"_l1), {}, std::to_string(suivant) + ":",
                    "0", true, debut, fin});
}

// The bytes of the first `n` characters of a UTF-8 text (the pass counts a
// character of the editor as one).
std::size_t octets_des_caracteres(std::string_view utf8, int n) {
  std::size_t i = 0;
  for (int k = 0; k < n && i < utf8.size(); ++k)
    for (++i; i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80;) ++i;
  return i;
}

// What the pass expects at the cursor, when the text between where it would
// stand and the cursor can begin it: digits for a number, a name for a
// clock variable. The nearest such place wins.
const attente* attente_au_curseur(const std::vector<attente>& attentes, std::string_view avant) {
  const attente* retenue = nullptr;
  const auto caracteres = std::count_if(avant.begin(), avant.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
  for (const attente& a : attentes) {
    if (a.colonne < 0 || a.colonne > caracteres) continue;
    const std::string_view tape = avant.substr(octets_des_caracteres(avant, a.colonne));
    const bool commence = a.sorte == sorte_attendue::variable
                              ? tape.find_first_of("$:") == std::string_view::npos
                              : std::all_of(tape.begin(), tape.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (commence && (retenue == nullptr || a.colonne >= retenue->colonne)) retenue = &a;
  }
  return retenue;
}

}  // namespace

std::vector<proposition> propositions(const document_ouvert& d, position_lsp p) {
  std::vector<proposition> sortie;
  if (!d.climat || p.ligne < 0 || static_cast<std::size_t>(p.ligne) >= d.nombre_de_lignes()) return sortie;
  const auto l = static_cast<std::size_t>(p.ligne);
  const std::string_view ligne = d.ligne(l);
  const std::size_t curseur = d.decalage(p.ligne, p.caractere) - d.decalage(p.ligne, 0);
  const std::string_view avant = ligne.substr(0, curseur);
  const position_lsp ici{p.ligne, longueur_utf16(avant)};
  const etape_passe etape = etape_de(d, p.ligne);

  // A paragraph head: the one expected at this line, exactly spelt.
  if (avant.empty() || ((avant[0] == '>' || avant[0] == '#') && avant.find(':') == std::string_view::npos)) {
    const auto tete = std::find_if(d.symboles.begin(), d.symboles.end(),
                                   [&](const symbole& x) { return x.ligne == p.ligne && x.etape != etape_passe::entete; });
    const paragraphe_climat* attendu = tete != d.symboles.end() ? paragraphe_de(tete->etape)
                                       : etape == etape_passe::entete ? &PARAGRAPHES[0]
                                       : paragraphe_de(etape) != nullptr && paragraphe_de(etape) + 1 != std::end(PARAGRAPHES)
                                           ? paragraphe_de(etape) + 1
                                           : nullptr;
    if (attendu != nullptr) {
      const std::string nom = en_utf8(attendu->tete);
      sortie.push_back({nom, en_utf8("tête de paragraphe attendue ici"_l1), std::string(section_du_paragraphe(attendu->etape)),
                        nom, avant.empty() ? "9" : "0", false, {p.ligne, 0}, ici});
    }
    if (!avant.empty()) return sortie;
  }

  // At the start of a line, digits being typed: the next number of a list,
  // or the precipitation a rule line belongs to.
  std::size_t chiffres = avant.size();
  while (chiffres > 0 && avant[chiffres - 1] >= '0' && avant[chiffres - 1] <= '9') --chiffres;
  if (chiffres == 0) {
    const position_lsp debut{p.ligne, ici.caractere - static_cast<int>(avant.size())};
    const paragraphe_climat* paragraphe = paragraphe_de(etape);
    if (etape == etape_passe::causes)
      propose_entrees(d, genre_lien::precipitation, debut, ici, "", "=", sortie);
    else if (paragraphe != nullptr && paragraphe->numerote)
      propose_suivant(d, paragraphe->liste, p.ligne, debut, ici, sortie);
    return sortie;
  }

  // Elsewhere, what the pass looks for where the cursor is.
  const std::vector<attente> attentes = d.attentes(p);
  const attente* a = attente_au_curseur(attentes, avant);
  if (a == nullptr) return sortie;
  const auto colonne = [&](int c) { return position_lsp{p.ligne, longueur_utf16(avant.substr(0, octets_des_caracteres(avant, c)))}; };
  if (a->sorte == sorte_attendue::variable) {
    for (const variable_horloge& v : VARIABLES_HORLOGE)
      sortie.push_back({v.nom, en_utf8(v.evenement), {}, std::string(v.nom) + "$", std::string("0") + v.nom, false,
                        colonne(a->colonne), ici});
    return sortie;
  }
  const genre_lien g = a->sorte == sorte_attendue::temperature ? genre_lien::temperature
                       : a->sorte == sorte_attendue::vent     ? genre_lien::vent
                                                              : genre_lien::precipitation;
  const bool avec_lettre = a->colonne_lettre >= 0;
  propose_entrees(d, g, colonne(avec_lettre ? a->colonne_lettre : a->colonne), ici,
                  avec_lettre ? avant.substr(octets_des_caracteres(avant, a->colonne_lettre), 1) : std::string_view(), "", sortie);
  return sortie;
}
