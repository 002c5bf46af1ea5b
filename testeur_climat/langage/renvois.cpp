#include "renvois.hpp"

#include <algorithm>
#include <climits>
#include <map>
#include <utility>

#include "chaines.hpp"
#include "langage.hpp"

namespace {

using entree = std::pair<genre_lien, int>;

// The display text of each entry, by kind and number: the first line that
// bears the number.
std::map<entree, std::string> affichages(const modele_climat& m) {
  std::map<entree, std::string> r;
  const auto ajoute = [&](genre_lien g, const nombre_lu& n, const std::string& texte) {
    if (n.lu) r.emplace(entree{g, static_cast<int>(n.valeur)}, texte);
  };
  for (const auto& [liste, g] : {std::pair{&m.temperatures, genre_lien::temperature}, std::pair{&m.vents, genre_lien::vent},
                                 std::pair{&m.precipitations, genre_lien::precipitation}})
    for (const entree_lue& e : liste->entrees) ajoute(g, e.numero, e.affichage.texte);
  for (const saison_lue& s : m.saisons) ajoute(genre_lien::saison, s.numero, s.affichage.texte);
  for (const moment_lu& x : m.horloge.moments) ajoute(genre_lien::moment, x.numero, x.affichage.texte);
  return r;
}

// A display text as a hint shows it: on one line, its controls visible,
// cut when long.
std::string en_indication(const std::string& latin1) {
  constexpr std::size_t LONGUEUR_MAX = 40;
  const std::string t = visible(en_utf8(latin1.substr(0, LONGUEUR_MAX)));
  return latin1.size() > LONGUEUR_MAX ? t + "\u2026" : t;
}

bool lu_jusqu_au_bout(const modele_climat& m, int& ligne) {
  for (const regle_lue& r : m.regles)
    if (r.abandonnee) {
      ligne = r.ligne.ligne;
      return false;
    }
  return true;
}

// What the pass finds in a text, by line and code, every finding counted.
std::map<std::pair<int, int>, int> releve(const document_ouvert& modele_de, std::string texte,
                                          std::map<std::pair<int, int>, const trouvaille*>* exemples,
                                          document_ouvert& d) {
  d.climat = true;
  d.plafond = SIZE_MAX;
  d.utf8_sur_disque = modele_de.utf8_sur_disque;
  d.crlf_sur_disque = modele_de.crlf_sur_disque;
  d.remplace_tout(std::move(texte));
  d.analyse();
  std::map<std::pair<int, int>, int> r;
  for (const trouvaille& t : d.trouvailles) {
    const std::pair<int, int> cle{t.ligne_fichier > 0 ? t.ligne_fichier : t.debut.ligne + 1, t.code};
    ++r[cle];
    if (exemples != nullptr) exemples->emplace(cle, &t);
  }
  return r;
}

}  // namespace

std::vector<indication> indications(const document_ouvert& d, int premiere, int derniere) {
  const std::map<entree, std::string> textes = affichages(d.modele());
  const int de = d.ligne_de_la_passe(premiere);
  const int a = derniere >= INT_MAX - 1 ? INT_MAX : d.ligne_de_la_passe(derniere + 1);
  std::size_t gardes = 0;
  const std::vector<lien_place> liens = d.liens_tels_que([&](const lien& n) {
    return !n.definition && n.ou.ligne >= de && n.ou.ligne <= a && textes.count({n.genre, n.numero}) != 0 &&
           gardes++ < INDICATIONS_MAX;
  });
  std::vector<indication> r;
  for (const lien_place& n : liens)
    if (n.fin.ligne >= premiere && n.fin.ligne <= derniere) r.push_back({n.fin, en_indication(textes.at({n.l.genre, n.l.numero}))});
  return r;
}

std::vector<lentille> lentilles(const document_ouvert& d) {
  const modele_climat& m = d.modele();
  std::vector<int> lignes_de_regles;
  for (const regle_lue& r : m.regles) lignes_de_regles.push_back(r.ligne.ligne);
  // The rule lines that use each entry, each once (the rules come in the
  // order of their lines, and so do their links).
  std::map<entree, std::vector<int>> usages;
  for (const lien& n : d.liens()) {
    if (n.definition || !std::binary_search(lignes_de_regles.begin(), lignes_de_regles.end(), n.ou.ligne)) continue;
    std::vector<int>& lignes = usages[{n.genre, n.numero}];
    if (lignes.empty() || lignes.back() != n.ou.ligne) lignes.push_back(n.ou.ligne);
  }
  std::vector<int> libres;  // precipitations with a rule without conditions
  for (const regle_lue& r : m.regles)
    if (r.precipitation.lu && !r.avec_conditions) libres.push_back(static_cast<int>(r.precipitation.valeur));
  std::size_t gardes = 0;
  const std::vector<lien_place> entrees = d.liens_tels_que([&](const lien& n) {
    return n.definition && (n.genre == genre_lien::temperature || n.genre == genre_lien::vent || n.genre == genre_lien::precipitation) &&
           gardes++ < LENTILLES_MAX;
  });
  std::vector<lentille> r;
  for (const lien_place& e : entrees) {
    const auto u = usages.find({e.l.genre, e.l.numero});
    const std::size_t n = u == usages.end() ? 0 : u->second.size();
    std::string titre = n == 0   ? en_utf8("aucune ligne de règles ne l'utilise"_l1)
                        : n == 1 ? en_utf8("1 ligne de règles l'utilise"_l1)
                                 : std::to_string(n) + en_utf8(" lignes de règles l'utilisent"_l1);
    if (e.l.genre == genre_lien::precipitation && std::find(libres.begin(), libres.end(), e.l.numero) == libres.end())
      titre += en_utf8(" · aucune règle sans condition n'en part"_l1);
    r.push_back({e.debut, e.fin, std::move(titre)});
  }
  return r;
}

renumerotation renumerote(const document_ouvert& d, position_lsp p, const std::string& nouveau) {
  const std::optional<lien_place> sous = nombre_a(d, p);
  if (!sous) return {{}, en_utf8("Aucun numéro d'entrée ici."_l1)};
  if (nouveau.empty() || nouveau.size() > 9 || !std::all_of(nouveau.begin(), nouveau.end(), chiffre))
    return {{}, en_utf8("« "_l1) + nouveau + en_utf8(" » n'est pas un numéro : des chiffres seulement."_l1)};
  const lien n = sous->l;
  const int numero = std::stoi(nouveau);
  if (numero == n.numero && nouveau == std::to_string(numero)) return {};
  const auto pris = d.liens_tels_que([&](const lien& x) { return x.definition && x.genre == n.genre && x.numero == numero; });
  if (!pris.empty() && numero != n.numero)
    return {{}, en_utf8("Le numéro "_l1) + std::to_string(numero) + en_utf8(" est déjà pris, ligne "_l1) + std::to_string(pris.front().debut.ligne + 1) + "."};
  int ligne = 0;
  if (n.genre != genre_lien::saison && n.genre != genre_lien::moment && !lu_jusqu_au_bout(d.modele(), ligne))
    return {{}, "La ligne " + std::to_string(ligne) +
                    en_utf8(" n'a pas pu être lue jusqu'au bout : un usage de ce numéro pourrait y échapper."_l1)};
  renumerotation r;
  r.places = d.liens_tels_que([&](const lien& x) { return x.genre == n.genre && x.numero == n.numero; });
  std::string texte = d.texte;
  for (auto k = r.places.rbegin(); k != r.places.rend(); ++k) {
    const std::size_t de = d.decalage(k->debut.ligne, k->debut.caractere);
    texte.replace(de, d.decalage(k->fin.ligne, k->fin.caractere) - de, nouveau);
  }
  // The pass decides: nothing it did not find before.
  document_ouvert avant_, apres_;
  const auto avant = releve(d, d.texte, nullptr, avant_);
  std::map<std::pair<int, int>, const trouvaille*> exemples;
  const auto apres = releve(d, std::move(texte), &exemples, apres_);
  for (const auto& [cle, compte] : apres) {
    const auto a = avant.find(cle);
    if (a != avant.end() && a->second >= compte) continue;
    const trouvaille& t = *exemples.at(cle);
    return {{}, en_utf8("Après ce renumérotage, le testeur trouverait ligne "_l1) + std::to_string(cle.first) + " : " + t.message + " [" +
                    nom_du_code(t.code) + "]"};
  }
  return r;
}
