#include "testeur_climat/corrections.hpp"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <tuple>
#include <utility>

#include "console/texte.hpp"
#include "testeur_climat/constats.hpp"

namespace {

// Fixes applied by one call of corrige, and candidates tried by one call of
// corrections_sures: each costs a pass, and a file of ten thousand findings
// must still be answered soon.
constexpr int CORRECTIONS_MAX = 100;
constexpr std::size_t CANDIDATS_MAX = 50;

struct trouve {
  int code;
  int ligne;
  int colonne;
  int colonne_fin;
  std::string message;
};

struct releve final : rapport_constats {
  std::vector<trouve> constats;
  void rapporte(const constat& c) override {
    constats.push_back({c.code, c.ligne_editeur, c.colonne, c.colonne_fin, c.message});
  }
};

std::vector<trouve> constats_de(std::string_view texte) {
  releve r;
  verifie_octets(texte.data(), texte.size(), r);
  return std::move(r.constats);
}

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
    return !c.empty() && c[0] >= '0' && c[0] <= '9';
  }
  // The nearest line before `l` that begins a paragraph (">" or "#"); 0
  // when there is none.
  int ligne_de_tete_avant(int l) const {
    for (int k = l - 1; k >= 1; --k) {
      const std::string_view c = contenu(k);
      if (!c.empty() && (c[0] == '>' || c[0] == '#')) return k;
    }
    return 0;
  }
};

bool chiffre_(char c) { return c >= '0' && c <= '9'; }

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

constexpr etape_passe ETAPES_A_TETE[] = {etape_passe::temperatures, etape_passe::vents,
                                        etape_passe::liste_precipitations, etape_passe::saisons,
                                        etape_passe::temperatures_saison, etape_passe::causes, etape_passe::horloge};

// The numbers at the start of lines [premiere, derniere] written 1, 2, 3...;
// `apres` characters before the number are kept (the "S" of a season's
// temperatures).
correction renumerote(const lignes_du_texte& l, int premiere, int derniere, std::size_t apres, std::string titre,
                      const trouve& f) {
  std::string nouveau;
  for (int k = premiere; k <= derniere; ++k) {
    const std::string_view c = l.t.substr(l.debut(k), l.suivante(k) - l.debut(k));
    std::size_t fin = apres;
    while (fin < c.size() && chiffre_(c[fin])) ++fin;
    nouveau += c.substr(0, apres);
    nouveau += std::to_string(k - premiere + 1);
    nouveau += c.substr(fin);
  }
  return {l.debut(premiere), l.suivante(derniere), nouveau, std::move(titre), f.code, f.ligne};
}

// The entries of a list or the moments of the clock around line `l`: the
// lines that begin with a digit, one after another.
std::vector<correction> renumerotation_d_entrees(const lignes_du_texte& l, const trouve& f) {
  if (!l.existe(f.ligne) || !l.commence_par_un_chiffre(f.ligne)) return {};
  // The entries begin two lines after the head, after its probability or
  // total line.
  const int tete_ligne = l.ligne_de_tete_avant(f.ligne);
  if (tete_ligne < 1 || f.ligne < tete_ligne + 2) return {};
  int premiere = f.ligne;
  int derniere = f.ligne;
  while (premiere > tete_ligne + 2 && l.commence_par_un_chiffre(premiere - 1)) --premiere;
  while (l.existe(derniere + 1) && l.commence_par_un_chiffre(derniere + 1)) ++derniere;
  const std::string tete = sans_accents(l.contenu(tete_ligne));
  // A precipitation's number is its name in the rules: no renumbering can
  // know which rules meant which.
  if (tete.rfind(">temp", 0) == 0) return {renumerote(l, premiere, derniere, 0, "Renuméroter la liste des températures"_l1, f)};
  if (tete.rfind(">vent", 0) == 0) return {renumerote(l, premiere, derniere, 0, "Renuméroter la liste des vents"_l1, f)};
  if (tete.rfind("#horloge", 0) == 0)
    return {renumerote(l, premiere, derniere, 0, "Renuméroter les moments de la journée"_l1, f)};
  return {};
}

// The four lines after the head of the seasons or of their temperatures.
std::vector<correction> renumerotation_des_saisons(const lignes_du_texte& l, const trouve& f) {
  int tete = f.ligne;
  while (tete >= 1 && (!l.existe(tete) || l.contenu(tete).empty() || l.contenu(tete)[0] != '>')) --tete;
  if (tete < 1 || f.ligne > tete + 4 || !l.existe(tete + 4)) return {};
  const std::string nom = sans_accents(l.contenu(tete));
  const std::size_t apres = nom == ">saison:" ? 0 : nom == ">temperatureparsaison:" ? 1 : 2;
  if (apres == 2) return {};
  for (int k = tete + 1; k <= tete + 4; ++k) {
    const std::string_view c = l.contenu(k);
    if (c.size() <= apres || !chiffre_(c[apres])) return {};
  }
  return {renumerote(l, tete + 1, tete + 4, apres, "Renuméroter les saisons"_l1, f)};
}

// A head line written with other accents or another case: the head itself.
std::vector<correction> tete_bien_ecrite(const lignes_du_texte& l, int ligne, const trouve& f) {
  const std::string_view c = l.contenu(ligne);
  if (c.empty() || (c[0] != '>' && c[0] != '#')) return {};
  for (const etape_passe etape : ETAPES_A_TETE) {
    const std::string_view tete = nom_du_paragraphe(etape);
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
  while (d1 < s.size() && !chiffre_(s[d1])) ++d1;
  std::size_t f1 = d1;
  while (f1 < s.size() && chiffre_(s[f1])) ++f1;
  std::size_t f2 = s.size();
  while (f2 > f1 && !chiffre_(s[f2 - 1])) --f2;
  std::size_t d2 = f2;
  while (d2 > f1 && chiffre_(s[d2 - 1])) --d2;
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

std::string applique(std::string_view texte, const correction& c) {
  std::string r(texte.substr(0, c.debut));
  r += c.texte;
  r += texte.substr(c.fin);
  return r;
}

// A finding as the comparison sees it: its kind, its message and its line,
// the lines the edit rewrote counted as one.
using cle = std::tuple<int, std::string, int>;

// What an edit does to the findings: which of the text's findings it
// removes (their indexes), and whether it draws one the text did not.
struct effet {
  std::vector<std::size_t> retires;
  bool ajoute = false;
};

effet effet_de(std::string_view texte, const lignes_du_texte& l, const correction& c, const std::vector<trouve>& avant) {
  // The lines from the edit's first to its last are one line for the
  // comparison; the lines after it are moved by the lines it adds.
  const auto ligne_de = [&](std::size_t octet) {
    return static_cast<int>(std::upper_bound(l.debuts.begin(), l.debuts.end(), octet) - l.debuts.begin());
  };
  const int premiere = ligne_de(c.debut);
  const int derniere = c.fin > c.debut ? ligne_de(c.fin - 1) : premiere;
  const auto sauts = [](std::string_view t) { return static_cast<int>(std::count(t.begin(), t.end(), '\n')); };
  const int decalage = sauts(c.texte) - sauts(texte.substr(c.debut, c.fin - c.debut));
  const auto ancienne = [&](int n) { return n >= premiere && n <= derniere ? premiere : n; };
  const auto nouvelle = [&](int n) { return n < premiere ? n : n > derniere + decalage ? n - decalage : premiere; };

  std::vector<cle> apres;
  for (const trouve& t : constats_de(applique(texte, c))) apres.emplace_back(t.code, t.message, nouvelle(t.ligne));
  std::sort(apres.begin(), apres.end());
  std::vector<std::pair<cle, std::size_t>> cles_avant;
  for (std::size_t i = 0; i < avant.size(); ++i)
    cles_avant.push_back({{avant[i].code, avant[i].message, ancienne(avant[i].ligne)}, i});
  std::sort(cles_avant.begin(), cles_avant.end());
  // Both sorted: each finding after the edit is matched with one before.
  effet e;
  std::size_t j = 0;
  for (const auto& [k, i] : cles_avant) {
    while (j < apres.size() && apres[j] < k) {
      e.ajoute = true;
      ++j;
    }
    if (j < apres.size() && apres[j] == k)
      ++j;
    else
      e.retires.push_back(i);
  }
  e.ajoute = e.ajoute || j < apres.size();
  std::sort(e.retires.begin(), e.retires.end());
  return e;
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

std::vector<correction> corrections_sures(std::string_view texte, std::size_t nombre_max, int premiere, int derniere) {
  const std::vector<trouve> constats = constats_de(texte);
  const lignes_du_texte l(texte);
  // Every candidate the pass confirms: its finding gone, nothing added.
  std::vector<std::pair<correction, effet>> confirmees;
  std::vector<correction> essayees;
  for (std::size_t k = 0; k < constats.size() && essayees.size() < CANDIDATS_MAX; ++k) {
    if (constats[k].ligne < premiere || constats[k].ligne > derniere) continue;
    for (correction& c : candidats(l, constats[k])) {
      // Two findings that one edit fixes (a list numbered wrong twice) try it once.
      const bool deja = std::any_of(essayees.begin(), essayees.end(), [&](const correction& e) {
        return e.debut == c.debut && e.fin == c.fin && e.texte == c.texte;
      });
      if (deja || essayees.size() >= CANDIDATS_MAX) continue;
      essayees.push_back(c);
      effet e = effet_de(texte, l, c, constats);
      if (!e.ajoute && std::binary_search(e.retires.begin(), e.retires.end(), k))
        confirmees.emplace_back(std::move(c), std::move(e));
    }
  }
  // Where two fixes remove some of the same findings, one is the author's
  // slip and the other a guess: a fix stays only if it removes all that any
  // such other removes, and more. Two that remove the same are two plausible
  // corrections, and neither stays.
  std::vector<correction> sures;
  for (std::size_t i = 0; i < confirmees.size(); ++i) {
    const std::vector<std::size_t>& r = confirmees[i].second.retires;
    const bool garde = std::all_of(confirmees.begin(), confirmees.end(), [&](const auto& autre) {
      const std::vector<std::size_t>& o = autre.second.retires;
      if (&autre == &confirmees[i]) return true;
      std::vector<std::size_t> communs;
      std::set_intersection(r.begin(), r.end(), o.begin(), o.end(), std::back_inserter(communs));
      return communs.empty() || (r.size() > o.size() && std::includes(r.begin(), r.end(), o.begin(), o.end()));
    });
    if (garde) {
      sures.push_back(confirmees[i].first);
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
  for (int n = 0; n < CORRECTIONS_MAX; ++n) {
    const std::vector<correction> c = corrections_sures(t, 1);
    if (c.empty()) break;
    t = applique(t, c.front());
    if (appliquees != nullptr) appliquees->push_back(c.front());
  }
  return t;
}
