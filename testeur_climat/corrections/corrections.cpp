#include "corrections.hpp"

#include <algorithm>
#include <cstring>
#include <climits>
#include <cstdint>
#include <iterator>
#include <map>
#include <optional>
#include <tuple>
#include <utility>

#include "chaines.hpp"
#include "constats.hpp"

namespace {

// Candidates whose effect one pass over several of them cannot tell, each
// then tried alone, and passes over several of them, by call of
// corrections_sures: bounds on a hostile file's cost. A candidate left
// untried is not offered.
constexpr std::size_t ESSAIS_SEULS_MAX = 200;
constexpr std::size_t LOTS_MAX = 200;
// Rounds of corrige: each makes every sure fix that touches no other.
constexpr int TOURS_MAX = 1000;

struct trouve {
  int code;
  int ligne;
  int colonne;
  int colonne_fin;
  std::string message;
};

// The findings of a text in the order of the pass, and, when asked, the
// fingerprint of the pass's state before each line it began to read (0: no
// read began that line).
struct releve final : rapport_constats {
  std::vector<trouve> constats;
  std::vector<std::uint64_t> empreintes;
  bool avec_empreintes = false;
  void rapporte(const constat& c) override {
    constats.push_back({c.code, c.ligne_editeur, c.colonne, c.colonne_fin, c.message});
  }
  bool veut_les_empreintes() const override { return avec_empreintes; }
  void empreinte(int ligne, unsigned long long h) override {
    const auto l = static_cast<std::size_t>(ligne);
    if (empreintes.size() <= l) empreintes.resize(l + 1, 0);
    empreintes[l] = h | 1;
  }
};

releve releve_de(std::string_view texte, bool avec_empreintes) {
  releve r;
  r.avec_empreintes = avec_empreintes;
  verifie_octets(texte.data(), texte.size(), r);
  return r;
}

std::vector<trouve> constats_de(std::string_view texte) { return releve_de(texte, false).constats; }

// The lines of the text as the pass counts them, by line feeds.
struct lignes_du_texte {
  std::string_view t;
  std::vector<std::size_t> debuts;

  explicit lignes_du_texte(std::string_view texte) : t(texte) {
    debuts.push_back(0);
    for (std::size_t i = 0; i < t.size(); ++i)
      if (t[i] == '\n') debuts.push_back(i + 1);
  }
  // Line `l` (from 1) holds text or at least its line feed.
  bool existe(int l) const {
    return l >= 1 && static_cast<std::size_t>(l) <= debuts.size() &&
           (static_cast<std::size_t>(l) < debuts.size() || debuts.back() < t.size());
  }
  std::size_t debut(int l) const { return debuts[static_cast<std::size_t>(l) - 1]; }
  // After the line feed, or the end of the text.
  std::size_t suivante(int l) const {
    return static_cast<std::size_t>(l) < debuts.size() ? debuts[static_cast<std::size_t>(l)] : t.size();
  }
  // The line's text, its line feed and a CR before it aside.
  std::string_view contenu(int l) const {
    std::string_view c = t.substr(debut(l), suivante(l) - debut(l));
    if (!c.empty() && c.back() == '\n') c.remove_suffix(1);
    if (!c.empty() && c.back() == '\r') c.remove_suffix(1);
    return c;
  }
  // The line break the file uses, read off this line.
  const char* saut(int l) const {
    const std::size_t fin = suivante(l);
    return fin >= 2 && t[fin - 1] == '\n' && t[fin - 2] == '\r' ? "\r\n" : "\n";
  }
  bool blanche(int l) const {
    const std::string_view c = contenu(l);
    return std::all_of(c.begin(), c.end(), [](char x) { return x == ' ' || x == '\t'; });
  }
  bool commence_par_un_chiffre(int l) const {
    const std::string_view c = contenu(l);
    return !c.empty() && chiffre(c[0]);
  }
};

// A head line without its accents, case or blanks: >Temperature: and
// >température : then read as the head >Température: does.
std::string sans_accents(std::string_view ligne) {
  static constexpr std::string_view AVEC = "àâäéèêëîïôöùûüçÀÂÄÉÈÊËÎÏÔÖÙÛÜÇ"_l1;
  static constexpr std::string_view SANS = "aaaeeeeiioouuucaaaeeeeiioouuuc";
  std::string r;
  for (const char c : ligne) {
    if (c == ' ' || c == '\t') continue;
    const std::size_t k = AVEC.find(c);
    const char simple = k == std::string_view::npos ? c : SANS[k];
    r += static_cast<char>(simple >= 'A' && simple <= 'Z' ? simple + 32 : simple);
  }
  return r;
}

// The numbers at the start of lines [premiere, derniere] written 1, 2, 3...;
// `apres` characters before the number are kept (the "S" of a season's
// temperatures).
correction renumerote(const lignes_du_texte& l, int premiere, int derniere, std::size_t apres, std::string titre,
                      const trouve& f) {
  std::string nouveau;
  for (int k = premiere; k <= derniere; ++k) {
    const std::string_view c = l.t.substr(l.debut(k), l.suivante(k) - l.debut(k));
    std::size_t fin = apres;
    while (fin < c.size() && chiffre(c[fin])) ++fin;
    nouveau += c.substr(0, apres);
    nouveau += std::to_string(k - premiere + 1);
    nouveau += c.substr(fin);
  }
  return {l.debut(premiere), l.suivante(derniere), nouveau, std::move(titre), f.code, f.ligne};
}

// The line before `l` that a paragraph's head would be (it begins with ">"
// or "#"); 0 when there is none.
int tete_avant(const lignes_du_texte& l, int ligne) {
  for (int k = ligne - 1; k >= 1; --k) {
    const std::string_view c = l.contenu(k);
    if (!c.empty() && (c[0] == '>' || c[0] == '#')) return k;
  }
  return 0;
}

// What the fixes call renumbering each paragraph whose lines they renumber.
const char* titre_de_renumerotation(etape_passe etape) {
  switch (etape) {
    case etape_passe::temperatures: return "Renuméroter la liste des températures"_l1;
    case etape_passe::vents: return "Renuméroter la liste des vents"_l1;
    case etape_passe::horloge: return "Renuméroter les moments de la journée"_l1;
    default: return "Renuméroter les saisons"_l1;
  }
}

// The entries of a list or the moments of the clock around the finding's
// line: the lines that begin with a digit, one after another, after the
// line that follows the head (the probabilities or the total). The head,
// however mistyped, says which list. A precipitation's number is its name in
// the rules: no renumbering can know which rules meant which, and the table
// of paragraphs gives its head nothing to be known by here.
std::vector<correction> renumerotation_d_entrees(const lignes_du_texte& l, const trouve& f) {
  if (!l.existe(f.ligne) || !l.commence_par_un_chiffre(f.ligne)) return {};
  const int tete = tete_avant(l, f.ligne);
  if (tete < 1 || f.ligne < tete + 2) return {};
  int premiere = f.ligne;
  int derniere = f.ligne;
  while (premiere > tete + 2 && l.commence_par_un_chiffre(premiere - 1)) --premiere;
  while (l.existe(derniere + 1) && l.commence_par_un_chiffre(derniere + 1)) ++derniere;
  const std::string lue = sans_accents(l.contenu(tete));
  for (const paragraphe_climat& p : PARAGRAPHES)
    if (p.numerote && p.debut_reconnu != nullptr && lue.starts_with(p.debut_reconnu))
      return {renumerote(l, premiere, derniere, 0, titre_de_renumerotation(p.etape), f)};
  return {};
}

// The four lines after the head of the seasons or of their temperatures,
// when that head is the keyword (but for accents, case and blanks) and each
// line bears a digit where its number goes.
std::vector<correction> renumerotation_des_saisons(const lignes_du_texte& l, const trouve& f) {
  int tete = f.ligne;
  while (tete >= 1 && (!l.existe(tete) || l.contenu(tete).empty() || l.contenu(tete)[0] != '>')) --tete;
  if (tete < 1 || f.ligne > tete + 4 || !l.existe(tete + 4)) return {};
  const std::string lue = sans_accents(l.contenu(tete));
  for (const paragraphe_climat& p : PARAGRAPHES) {
    if (p.liste != genre_lien::saison || lue != sans_accents(p.tete)) continue;
    const auto apres = static_cast<std::size_t>(p.avant_numero);
    for (int k = tete + 1; k <= tete + 4; ++k) {
      const std::string_view c = l.contenu(k);
      if (c.size() <= apres || !chiffre(c[apres])) return {};
    }
    return {renumerote(l, tete + 1, tete + 4, apres, titre_de_renumerotation(p.etape), f)};
  }
  return {};
}

// A head line written with other accents or another case: the head itself.
std::vector<correction> tete_bien_ecrite(const lignes_du_texte& l, int ligne, const trouve& f) {
  const std::string_view c = l.contenu(ligne);
  if (c.empty() || (c[0] != '>' && c[0] != '#')) return {};
  for (const paragraphe_climat& p : PARAGRAPHES) {
    const std::string_view tete = p.tete;
    if (c != tete && sans_accents(c) == sans_accents(tete))
      return {{l.debut(ligne), l.debut(ligne) + c.size(), std::string(tete), "Écrire "_l1 + std::string(tete), f.code,
               f.ligne}};
  }
  return {};
}

// The two numbers of the span, the first and the last, swapped.
std::vector<correction> valeurs_echangees(const lignes_du_texte& l, const trouve& f) {
  const std::size_t a = l.debut(f.ligne) + static_cast<std::size_t>(f.colonne);
  const std::size_t b = l.debut(f.ligne) + static_cast<std::size_t>(f.colonne_fin);
  const std::string_view s = l.t.substr(a, b - a);
  std::size_t d1 = 0;
  while (d1 < s.size() && !chiffre(s[d1])) ++d1;
  std::size_t f1 = d1;
  while (f1 < s.size() && chiffre(s[f1])) ++f1;
  std::size_t f2 = s.size();
  while (f2 > f1 && !chiffre(s[f2 - 1])) --f2;
  std::size_t d2 = f2;
  while (d2 > f1 && chiffre(s[d2 - 1])) --d2;
  if (d1 == f1 || d2 == f2 || d2 <= f1) return {};
  std::string nouveau(s.substr(0, d1));
  nouveau += s.substr(d2, f2 - d2);
  nouveau += s.substr(f1, d2 - f1);
  nouveau += s.substr(d1, f1 - d1);
  nouveau += s.substr(f2);
  return {{a, b, nouveau, "Mettre les deux valeurs dans l'ordre", f.code, f.ligne}};
}

// What could fix one finding; the pass says which really do.
std::vector<correction> candidats(const lignes_du_texte& l, const trouve& f) {
  if (f.code == 701) {
    std::vector<correction> r;
    for (int k = 1; l.existe(k) && r.empty(); ++k) r = tete_bien_ecrite(l, k, f);
    return r;
  }
  if (f.code == 204) {
    // A blank line before the "<" that should have closed the paragraph.
    std::vector<correction> r;
    for (int k = 1; l.existe(k + 1) && r.size() < 4; ++k)
      if (l.blanche(k) && l.contenu(k + 1).substr(0, 1) == "<")
        r.push_back({l.debut(k), l.suivante(k), "", "Supprimer la ligne blanche", f.code, f.ligne});
    return r;
  }
  if (!l.existe(f.ligne)) return {};
  const std::size_t ici = l.debut(f.ligne) + static_cast<std::size_t>(f.colonne);
  // A blank line inside a list or the seasons, or before their "<".
  if ((f.code == 315 || f.code == 401 || f.code == 402 || f.code == 404) && l.blanche(f.ligne))
    return {{l.debut(f.ligne), l.suivante(f.ligne), "", "Supprimer la ligne blanche", f.code, f.ligne}};
  switch (f.code) {
    case 702: {
      // The moments came at once: their total line is missing.
      if (!l.commence_par_un_chiffre(f.ligne)) return {};
      int n = 0;
      while (l.existe(f.ligne + n) && l.commence_par_un_chiffre(f.ligne + n)) ++n;
      return {{l.debut(f.ligne), l.debut(f.ligne), "Total=" + std::to_string(n) + l.saut(f.ligne),
               "Ajouter la ligne du total", f.code, f.ligne}};
    }
    case 109:
    case 301:
    case 408:
      return valeurs_echangees(l, f);
    case 201:
      return tete_bien_ecrite(l, f.ligne, f);
    case 304:
    case 305:
    case 703:
      return renumerotation_d_entrees(l, f);
    case 315:
    case 404: {
      // The next paragraph's head came where the "<" should be.
      const std::string_view c = l.contenu(f.ligne);
      if (c.empty() || (c[0] != '>' && c[0] != '#')) return {};
      return {{l.debut(f.ligne), l.debut(f.ligne), std::string("<") + l.saut(f.ligne),
               f.code == 315 ? "Fermer la liste par <" : "Fermer la liste des saisons par <", f.code, f.ligne}};
    }
    case 401:
      return renumerotation_des_saisons(l, f);
    case 601:
      return {{ici, ici, ".", "Ajouter le point final", f.code, f.ligne}};
    case 606:
      return {{ici + 1, ici + 1, "\\", "Écrire /\\"_l1, f.code, f.ligne}};
    default:
      return {};
  }
}

// Several edits in the order of the text, none touching another.
std::string applique_tout(std::string_view texte, const std::vector<const correction*>& edits) {
  std::string r;
  std::size_t lu = 0;
  for (const correction* c : edits) {
    r += texte.substr(lu, c->debut - lu);
    r += c->texte;
    lu = c->fin;
  }
  r += texte.substr(lu);
  return r;
}

int sauts(std::string_view t) { return static_cast<int>(std::count(t.begin(), t.end(), '\n')); }

// Where an edit lies in the lines: the text's lines [premiere, derniere]
// become `ajoutees` more lines (fewer when negative).
struct etendue_lignes {
  int premiere;
  int derniere;
  int ajoutees;
};

etendue_lignes lignes_de(std::string_view texte, const lignes_du_texte& l, const correction& c) {
  const auto ligne_de = [&](std::size_t octet) {
    return static_cast<int>(std::upper_bound(l.debuts.begin(), l.debuts.end(), octet) - l.debuts.begin());
  };
  const int premiere = ligne_de(c.debut);
  return {premiere, c.fin > c.debut ? ligne_de(c.fin - 1) : premiere,
          sauts(c.texte) - sauts(texte.substr(c.debut, c.fin - c.debut))};
}

// A line of the text after the edits `e` (in the order of the text), as a
// line of the text before them: a line an edit wrote is that edit's first.
int ligne_d_avant(const std::vector<etendue_lignes>& e, int n) {
  int decalage = 0;
  for (const etendue_lignes& x : e) {
    if (n < x.premiere + decalage) break;
    if (n <= x.derniere + decalage + x.ajoutees) return x.premiere;
    decalage += x.ajoutees;
  }
  return n - decalage;
}

// A finding as the comparison sees it: its kind, its message and its line,
// the lines an edit rewrote counted as one.
using cle = std::tuple<int, std::string, int>;

// What an edit does to the findings: which of the text's findings it
// removes (their indexes), and whether it draws one the text did not.
struct effet {
  std::vector<std::size_t> retires;
  bool ajoute = false;
};

// Matches findings before [a, b) and after [c, d) as multisets of keys, the
// lines given through the two functions: the first unmatched of each side
// are removed or added.
template <typename Avant, typename Apres>
void compare(const std::vector<trouve>& avant, std::size_t a, std::size_t b, const std::vector<trouve>& apres,
             std::size_t c, std::size_t d, Avant&& ligne_avant, Apres&& ligne_apres, effet& e) {
  std::vector<std::pair<cle, std::size_t>> cles_avant;
  for (std::size_t i = a; i < b; ++i) cles_avant.push_back({{avant[i].code, avant[i].message, ligne_avant(avant[i].ligne)}, i});
  std::vector<cle> cles_apres;
  for (std::size_t i = c; i < d; ++i) cles_apres.emplace_back(apres[i].code, apres[i].message, ligne_apres(apres[i].ligne));
  std::sort(cles_avant.begin(), cles_avant.end());
  std::sort(cles_apres.begin(), cles_apres.end());
  std::size_t j = 0;
  for (const auto& [k, i] : cles_avant) {
    while (j < cles_apres.size() && cles_apres[j] < k) {
      e.ajoute = true;
      ++j;
    }
    if (j < cles_apres.size() && cles_apres[j] == k)
      ++j;
    else
      e.retires.push_back(i);
  }
  e.ajoute = e.ajoute || j < cles_apres.size();
}

// The effect of several edits made together on the whole text: one pass.
effet effet_ensemble(std::string_view texte, const lignes_du_texte& l, const std::vector<const correction*>& edits,
                     const std::vector<trouve>& avant) {
  std::vector<etendue_lignes> e;
  for (const correction* c : edits) e.push_back(lignes_de(texte, l, *c));
  // A line of the old text: the first of the edit it lies in, else itself.
  const auto ancienne = [&](int n) {
    for (const etendue_lignes& x : e)
      if (n >= x.premiere && n <= x.derniere) return x.premiere;
    return n;
  };
  const auto nouvelle = [&](int n) { return ligne_d_avant(e, n); };
  const std::vector<trouve> apres = constats_de(applique_tout(texte, edits));
  effet r;
  compare(avant, 0, avant.size(), apres, 0, apres.size(), ancienne, nouvelle, r);
  std::sort(r.retires.begin(), r.retires.end());
  return r;
}

// The first finding at or after line `ligne` (findings come in the order of
// their lines).
std::size_t premier_a(const std::vector<trouve>& t, int ligne) {
  return static_cast<std::size_t>(
      std::lower_bound(t.begin(), t.end(), ligne, [](const trouve& x, int n) { return x.ligne < n; }) - t.begin());
}

// The effects of many candidates, found in few passes. Candidates that touch
// no line of one another are made together in one pass; each one's effect is
// what changed from its first line to the next one's, provided the pass's
// state before that next line is the one the text without them gives: from
// there on both passes go alike, so the candidate alone would change nothing
// more. A candidate after which the states differ is tried alone; those
// after it go to the next pass.
std::vector<std::optional<effet>> effets(std::string_view texte, const lignes_du_texte& l, const releve& avant,
                                        const std::vector<correction>& candidats, bool par_lots) {
  std::vector<std::optional<effet>> r(candidats.size());
  if (!par_lots) {
    for (std::size_t i = 0; i < candidats.size(); ++i) r[i] = effet_ensemble(texte, l, {&candidats[i]}, avant.constats);
    return r;
  }
  std::vector<etendue_lignes> e;
  for (const correction& c : candidats) e.push_back(lignes_de(texte, l, c));
  std::vector<std::size_t> en_attente(candidats.size());
  for (std::size_t i = 0; i < candidats.size(); ++i) en_attente[i] = i;
  std::sort(en_attente.begin(), en_attente.end(), [&](std::size_t a, std::size_t b) { return candidats[a].debut < candidats[b].debut; });
  const auto empreinte = [](const releve& x, int ligne) {
    return static_cast<std::size_t>(ligne) < x.empreintes.size() ? x.empreintes[static_cast<std::size_t>(ligne)] : 0;
  };
  std::vector<std::size_t> seuls;
  for (std::size_t lots = 0; !en_attente.empty() && lots < LOTS_MAX; ++lots) {
    std::vector<std::size_t> lot;
    std::vector<std::size_t> reste;
    for (const std::size_t i : en_attente)
      (lot.empty() || e[i].premiere > e[lot.back()].derniere ? lot : reste).push_back(i);
    std::vector<const correction*> edits;
    for (const std::size_t i : lot) edits.push_back(&candidats[i]);
    const releve apres = releve_de(applique_tout(texte, edits), true);
    int decalage = 0;  // lines added by the candidates before
    for (std::size_t k = 0; k < lot.size(); ++k) {
      const etendue_lignes& x = e[lot[k]];
      const bool dernier = k + 1 == lot.size();
      const int fin = dernier ? INT_MAX : e[lot[k + 1]].premiere;
      const int fin_apres = dernier ? INT_MAX : fin + decalage + x.ajoutees;
      if (!dernier && (empreinte(avant, fin) == 0 || empreinte(avant, fin) != empreinte(apres, fin_apres))) {
        seuls.push_back(lot[k]);
        reste.insert(reste.end(), lot.begin() + static_cast<std::ptrdiff_t>(k) + 1, lot.end());
        break;
      }
      effet& f = r[lot[k]].emplace();
      const int debut_apres = x.premiere + decalage;
      compare(avant.constats, premier_a(avant.constats, x.premiere), premier_a(avant.constats, fin), apres.constats,
              premier_a(apres.constats, debut_apres), premier_a(apres.constats, fin_apres),
              [&](int n) { return n <= x.derniere ? x.premiere : n; },
              [&](int n) { return n <= x.derniere + decalage + x.ajoutees ? x.premiere : n - decalage - x.ajoutees; }, f);
      std::sort(f.retires.begin(), f.retires.end());
      decalage += x.ajoutees;
    }
    std::sort(reste.begin(), reste.end(), [&](std::size_t a, std::size_t b) { return candidats[a].debut < candidats[b].debut; });
    en_attente = std::move(reste);
  }
  for (std::size_t k = 0; k < seuls.size() && k < ESSAIS_SEULS_MAX; ++k)
    r[seuls[k]] = effet_ensemble(texte, l, {&candidats[seuls[k]]}, avant.constats);
  return r;
}

// The edit without the bytes it would write as they are.
void au_plus_court(std::string_view texte, correction& c) {
  std::size_t debut = 0;
  while (c.debut + debut < c.fin && debut < c.texte.size() && texte[c.debut + debut] == c.texte[debut]) ++debut;
  std::size_t fin = 0;
  while (c.fin - fin > c.debut + debut && c.texte.size() - fin > debut && texte[c.fin - fin - 1] == c.texte[c.texte.size() - fin - 1])
    ++fin;
  c.texte = c.texte.substr(debut, c.texte.size() - fin - debut);
  c.debut += debut;
  c.fin -= fin;
}

}  // namespace

std::vector<correction> corrections_sures(std::string_view texte, std::size_t nombre_max, int premiere, int derniere,
                                          bool par_lots) {
  const releve avant = releve_de(texte, true);
  const std::vector<trouve>& constats = avant.constats;
  const lignes_du_texte l(texte);
  // The candidates of the findings asked, each once, with the finding it is for.
  std::vector<correction> essayees;
  std::vector<std::size_t> pour;
  for (std::size_t k = premier_a(constats, premiere); k < constats.size() && constats[k].ligne <= derniere; ++k)
    for (correction& c : candidats(l, constats[k])) {
      // Two findings that one edit fixes (a list numbered wrong twice) try it once.
      const bool deja = std::any_of(essayees.end() - std::min<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(essayees.size()), 8),
                                    essayees.end(), [&](const correction& e) {
                                      return e.debut == c.debut && e.fin == c.fin && e.texte == c.texte;
                                    });
      if (deja) continue;
      essayees.push_back(std::move(c));
      pour.push_back(k);
    }
  const std::vector<std::optional<effet>> e = effets(texte, l, avant, essayees, par_lots);
  // Every candidate the pass confirms: its finding gone, nothing added.
  std::vector<std::size_t> confirmees;
  for (std::size_t i = 0; i < essayees.size(); ++i)
    if (e[i] && !e[i]->ajoute && std::binary_search(e[i]->retires.begin(), e[i]->retires.end(), pour[i]))
      confirmees.push_back(i);
  // Where two fixes remove some of the same findings, one is the author's
  // slip and the other a guess: a fix stays only if it removes all that any
  // such other removes, and more. Two that remove the same are two plausible
  // corrections, and neither stays.
  std::multimap<std::size_t, std::size_t> par_constat;  // finding -> the confirmed fixes that remove it
  for (const std::size_t i : confirmees)
    for (const std::size_t k : e[i]->retires) par_constat.emplace(k, i);
  std::vector<correction> sures;
  for (const std::size_t i : confirmees) {
    const std::vector<std::size_t>& r = e[i]->retires;
    bool garde = true;
    for (std::size_t n = 0; n < r.size() && garde; ++n)
      for (auto [a, b] = par_constat.equal_range(r[n]); a != b && garde; ++a) {
        if (a->second == i) continue;
        const std::vector<std::size_t>& o = e[a->second]->retires;
        garde = r.size() > o.size() && std::includes(r.begin(), r.end(), o.begin(), o.end());
      }
    if (garde) {
      sures.push_back(essayees[i]);
      au_plus_court(texte, sures.back());
    }
  }
  std::stable_sort(sures.begin(), sures.end(), [](const correction& a, const correction& b) { return a.debut < b.debut; });
  if (sures.size() > nombre_max) sures.resize(nombre_max);
  return sures;
}

std::string reencode_en_latin1(std::string_view octets) {
  std::string r;
  bool multi = false;
  for (std::size_t i = 0; i < octets.size();) {
    const auto c = static_cast<unsigned char>(octets[i]);
    if (c < 0x80) {
      r += static_cast<char>(c);
      ++i;
      continue;
    }
    // Two bytes C2 or C3 then one of 80 to BF: a character of Latin-1.
    if ((c != 0xC2 && c != 0xC3) || i + 1 >= octets.size()) return {};
    const auto suite = static_cast<unsigned char>(octets[i + 1]);
    if (suite < 0x80 || suite > 0xBF) return {};
    r += static_cast<char>(((c & 0x03) << 6) | (suite & 0x3F));
    multi = true;
    i += 2;
  }
  return multi ? r : std::string();
}

std::string corrige(std::string_view texte, bool depuis_le_disque, std::vector<correction>* appliquees) {
  std::string t(texte);
  if (depuis_le_disque) {
    std::string latin1 = reencode_en_latin1(t);
    if (!latin1.empty()) {
      if (appliquees != nullptr) appliquees->push_back({0, t.size(), latin1, "Enregistrer en Latin-1", 802, 1});
      t = std::move(latin1);
    }
  }
  // Each round makes together every sure fix that touches no other, once the
  // pass has seen that together they add nothing; otherwise the first alone.
  // Every round removes a finding: they end. Each fix is reported with the
  // line of the text as it was read: the lines of each round's text are
  // taken back through the rounds before.
  std::vector<std::vector<etendue_lignes>> tours;
  const auto ligne_lue = [&](int n) {
    for (auto tour = tours.rbegin(); tour != tours.rend(); ++tour) n = ligne_d_avant(*tour, n);
    return n;
  };
  for (int tour = 0; tour < TOURS_MAX; ++tour) {
    const std::vector<correction> sures = corrections_sures(t, SIZE_MAX);
    if (sures.empty()) break;
    std::vector<const correction*> ensemble;
    for (const correction& c : sures)
      if (ensemble.empty() || c.debut > ensemble.back()->fin) ensemble.push_back(&c);
    const lignes_du_texte l(t);
    if (ensemble.size() > 1 && effet_ensemble(t, l, ensemble, constats_de(t)).ajoute) ensemble.resize(1);
    for (const correction* c : ensemble)
      if (appliquees != nullptr) {
        appliquees->push_back(*c);
        appliquees->back().ligne = ligne_lue(c->ligne);
      }
    tours.emplace_back();
    for (const correction* c : ensemble) tours.back().push_back(lignes_de(t, l, *c));
    t = applique_tout(t, ensemble);
  }
  return t;
}
