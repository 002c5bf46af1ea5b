#include "testeur_climat/lsp_langage.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <unordered_set>

#include "console/texte.hpp"
#include "testeur_climat/editeurs.hpp"

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

// The guide's chapter on a paragraph: "## 2." for the temperatures, up to
// "## 8." for the clock.
std::string_view section_du_paragraphe(etape_passe etape) {
  const int n = static_cast<int>(etape) - static_cast<int>(etape_passe::temperatures) + 2;
  const std::string titre = "\n## " + std::to_string(n) + ". ";
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

// The display text of an entry line: what follows its last field.
std::string_view affichage(std::string_view ligne, genre_lien g) {
  const int champs = g == genre_lien::saison ? 1 : g == genre_lien::temperature ? 2 : 3;
  std::string_view reste = ligne;
  for (int k = 0; k < champs; ++k) {
    const std::size_t deux_points = reste.find(':');
    if (deux_points == std::string_view::npos) return ligne;
    reste.remove_prefix(deux_points + 1);
  }
  return reste;
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

// The list whose entries a paragraph numbers, if it numbers any.
std::optional<genre_lien> liste_du_paragraphe(etape_passe etape) {
  switch (etape) {
    case etape_passe::temperatures: return genre_lien::temperature;
    case etape_passe::vents: return genre_lien::vent;
    case etape_passe::liste_precipitations: return genre_lien::precipitation;
    case etape_passe::saisons: return genre_lien::saison;
    case etape_passe::horloge: return genre_lien::moment;
    default: return std::nullopt;
  }
}

// The number under the cursor (or just before it) on a line's links.
const lien_place* nombre_sous(const std::vector<lien_place>& liens, int caractere) {
  for (const lien_place& n : liens)
    if (n.l.genre != genre_lien::moteur && n.debut.caractere <= caractere && caractere <= n.fin.caractere) return &n;
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

// Why a rule line follows its engine: the percent signs of its body (the
// text after the final "." counts as well).
std::string explique_moteur(const document_ouvert& d, const lien_place& corps_lien) {
  const std::size_t a = d.decalage(corps_lien.debut.ligne, corps_lien.debut.caractere);
  const std::size_t b = d.decalage(corps_lien.fin.ligne, corps_lien.fin.caractere);
  const std::string_view corps = std::string_view(d.texte).substr(a, b > a ? b - a : 0);
  const int moteur = corps_lien.l.numero;
  std::string texte = "**Moteur M" + std::to_string(moteur) + "** : ";
  if (moteur == 5) return texte + en_utf8("le corps de cette règle ne contient aucun %."_l1);
  const std::size_t signe = corps.find(moteur == 4 ? "%%" : "%");
  const std::string colonne = std::to_string(corps_lien.debut.caractere + longueur_utf16(corps.substr(0, signe)) + 1);
  if (moteur == 4)
    texte += en_utf8("le corps de cette règle contient %% (colonne "_l1) + colonne + ").";
  else
    texte += en_utf8("le corps de cette règle contient un % (colonne "_l1) + colonne + ") mais pas de %%.";
  if (signe != std::string_view::npos && corps.find('.') < signe)
    texte += en_utf8(" Ce signe est après le point final : il compte aussi."_l1);
  return texte;
}

// The clock variable whose "$...$" holds the cursor, on a moment line.
const variable_horloge* variable_sous(std::string_view ligne, int caractere, int& debut, int& fin) {
  const std::size_t expression = ligne.find(':');
  if (expression == std::string_view::npos) return nullptr;
  for (std::size_t ouvre = ligne.find('$', expression); ouvre != std::string_view::npos;) {
    const std::size_t ferme = ligne.find('$', ouvre + 1);
    if (ferme == std::string_view::npos) return nullptr;
    debut = longueur_utf16(ligne.substr(0, ouvre));
    fin = longueur_utf16(ligne.substr(0, ferme + 1));
    if (debut <= caractere && caractere <= fin) {
      const std::string_view nom = ligne.substr(ouvre + 1, ferme - ouvre - 1);
      for (const variable_horloge& v : VARIABLES_HORLOGE)
        if (nom == v.nom) return &v;
      return nullptr;
    }
    ouvre = ligne.find('$', ferme + 1);
  }
  return nullptr;
}

// For each finding of the line (SURVOL_MAX at most), its code and message,
// then the guide's section of each code, once.
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
    texte += "\n\n" + std::string(section_du_guide(t.code));
  }
  if (autres > 0) {
    char message[160];
    std::snprintf(message, sizeof message, "Et %d autres constats sur cette ligne : verifie_climat les donne tous."_l1,
                  static_cast<int>(autres));
    texte += "\n\n---\n\n" + en_utf8(message);
  }
  return texte;
}

// The number at `p`, with what it names; false when there is none.
bool nombre_en(const document_ouvert& d, position_lsp p, lien& n) {
  if (p.ligne < 0 || static_cast<std::size_t>(p.ligne) >= d.nombre_de_lignes()) return false;
  const auto liens = d.liens_de_la_ligne(static_cast<std::size_t>(p.ligne));
  const lien_place* sous = nombre_sous(liens, p.caractere);
  if (sous != nullptr) n = sous->l;
  return sous != nullptr;
}

// The links that name the same entry as the number at `p`, the first
// EMPLACEMENTS_MAX in file order: its definitions, its uses, or both.
std::vector<lien_place> meme_entree_que(const document_ouvert& d, position_lsp p, bool definitions, bool usages) {
  lien n{};
  if (!nombre_en(d, p, n)) return {};
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

survol survole(const document_ouvert& d, position_lsp p) {
  survol s;
  if (p.ligne < 0 || static_cast<std::size_t>(p.ligne) >= d.nombre_de_lignes()) return s;
  const auto l = static_cast<std::size_t>(p.ligne);
  const std::string_view ligne = d.ligne(l);
  s.debut = {p.ligne, 0};
  s.fin = {p.ligne, d.longueur(l)};
  const auto liens = d.liens_de_la_ligne(l);
  std::string sujet;
  int debut = 0;
  int fin = 0;
  const etape_passe etape = etape_de(d, p.ligne);
  const auto tete = std::find_if(d.symboles.begin(), d.symboles.end(),
                                 [&](const symbole& x) { return x.ligne == p.ligne && x.etape != etape_passe::entete; });
  if (const lien_place* sous = nombre_sous(liens, p.caractere)) {
    sujet = explique_nombre(d, *sous);
    s.debut = sous->debut;
    s.fin = sous->fin;
  } else if (const variable_horloge* v = etape == etape_passe::horloge && !ligne.empty() && ligne[0] >= '0' && ligne[0] <= '9'
                                             ? variable_sous(ligne, p.caractere, debut, fin)
                                             : nullptr) {
    sujet = "`$" + std::string(v->nom) + "$`" + " : " + en_utf8(v->evenement) + ".";
    s.debut = {p.ligne, debut};
    s.fin = {p.ligne, fin};
  } else if (const auto m = std::find_if(liens.begin(), liens.end(), [](const lien_place& x) { return x.l.genre == genre_lien::moteur; });
             m != liens.end()) {
    sujet = explique_moteur(d, *m);
  } else if (tete != d.symboles.end()) {
    sujet = std::string(section_du_paragraphe(tete->etape));
  }
  const std::string constats = constats_de_la_ligne(d, p.ligne);
  s.markdown = sujet.empty() || constats.empty() ? sujet + constats : sujet + "\n\n---\n\n" + constats;
  return s;
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
  debut.caractere -= static_cast<int>(lettre.size());
  std::unordered_set<int> vus;
  const auto entrees = d.liens_tels_que(
      [&](const lien& m) { return m.genre == g && m.definition && vus.size() < PROPOSITIONS_MAX && vus.insert(m.numero).second; });
  for (const lien_place& e : entrees) {
    const std::string_view ligne = d.ligne(static_cast<std::size_t>(e.debut.ligne));
    char tri[16];
    std::snprintf(tri, sizeof tri, "1%010d", e.l.numero);
    const std::string nom = std::string(lettre) + std::to_string(e.l.numero);
    sortie.push_back({nom, std::string(affichage(ligne, g)), en_code(ligne) + " (ligne " + numero_de_ligne(e.debut.ligne) + ")",
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
    const etape_passe attendue = tete != d.symboles.end() ? tete->etape
                                 : etape == etape_passe::entete ? etape_passe::temperatures
                                                                : static_cast<etape_passe>(static_cast<int>(etape) + 1);
    if (attendue < etape_passe::fin) {
      const std::string nom = en_utf8(nom_du_paragraphe(attendue));
      sortie.push_back({nom, en_utf8("tête de paragraphe attendue ici"_l1), std::string(section_du_paragraphe(attendue)),
                        nom, avant.empty() ? "9" : "0", false, {p.ligne, 0}, ici});
    }
    if (!avant.empty()) return sortie;
  }

  // The digits being typed are replaced.
  std::size_t chiffres = avant.size();
  while (chiffres > 0 && avant[chiffres - 1] >= '0' && avant[chiffres - 1] <= '9') --chiffres;
  const std::string_view devant = avant.substr(0, chiffres);
  const position_lsp debut{p.ligne, ici.caractere - static_cast<int>(avant.size() - chiffres)};

  // The next number of a list, at the start of its line.
  if (devant.empty()) {
    if (etape == etape_passe::causes)
      propose_entrees(d, genre_lien::precipitation, debut, ici, "", "=", sortie);
    else if (const auto liste = liste_du_paragraphe(etape))
      propose_suivant(d, *liste, p.ligne, debut, ici, sortie);
    return sortie;
  }
  const char dernier = devant.back();
  const char avant_dernier = devant.size() > 1 ? devant[devant.size() - 2] : '\0';

  // The seasons' temperatures: "t" after the "=" or the ",".
  if (etape == etape_passe::temperatures_saison) {
    if (dernier == 't' && (avant_dernier == '=' || avant_dernier == ','))
      propose_entrees(d, genre_lien::temperature, debut, ici, "t", "", sortie);
    return sortie;
  }

  // A clock variable after an opening "$" of the time expression.
  if (etape == etape_passe::horloge) {
    const std::size_t expression = avant.find(':');
    if (expression == std::string_view::npos || avant.find(':', expression + 1) != std::string_view::npos) return sortie;
    if (std::count(avant.begin() + static_cast<std::ptrdiff_t>(expression), avant.end(), '$') % 2 == 0) return sortie;
    const std::size_t ouvre = avant.rfind('$');
    const position_lsp nom{p.ligne, longueur_utf16(avant.substr(0, ouvre + 1))};
    for (const variable_horloge& v : VARIABLES_HORLOGE)
      sortie.push_back({v.nom, en_utf8(v.evenement), {}, std::string(v.nom) + "$", std::string("0") + v.nom, false, nom, ici});
    return sortie;
  }

  if (etape != etape_passe::causes || !(ligne[0] >= '0' && ligne[0] <= '9')) return sortie;
  // A rule line: the conditions' t, v and p, a range's bound, the
  // qualifiers' ;t and ;v, and the values of the body.
  const std::size_t crochet = devant.find('[');
  const bool dans_les_conditions = crochet != std::string_view::npos && devant.find(']', crochet) == std::string_view::npos;
  // A condition's letter follows "[", "+" or, after a range, its bound; a
  // qualifier's follows ";".
  const bool apres_lettre = avant_dernier == '[' || avant_dernier == '+' || avant_dernier == ';' ||
                            (dans_les_conditions && avant_dernier >= '0' && avant_dernier <= '9');
  if ((dernier == 't' || dernier == 'v') && apres_lettre)
    propose_entrees(d, dernier == 't' ? genre_lien::temperature : genre_lien::vent, debut, ici, devant.substr(devant.size() - 1), "",
                    sortie);
  else if (dernier == 'p' && dans_les_conditions && apres_lettre)
    propose_entrees(d, genre_lien::precipitation, debut, ici, "p", "", sortie);
  else if (dernier == '-' && dans_les_conditions) {
    const std::size_t lettre = devant.find_last_of("tvp");
    if (lettre != std::string_view::npos && lettre > crochet)
      propose_entrees(d, devant[lettre] == 't' ? genre_lien::temperature : devant[lettre] == 'v' ? genre_lien::vent : genre_lien::precipitation,
                      debut, ici, "", "", sortie);
  } else if (!dans_les_conditions && devant.find('.') == std::string_view::npos && devant.find("%%") == std::string_view::npos &&
             (dernier == '=' || dernier == ',' || dernier == '{' || dernier == ']' || (dernier == '\\' && avant_dernier == '/')))
    propose_entrees(d, genre_lien::precipitation, debut, ici, "", "", sortie);
  return sortie;
}
