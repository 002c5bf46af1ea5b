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
// What each finding follows from is looked for among a text's first
// findings (FILIATIONS_OCTETS_MAX bounds the text): past them, each is its
// own root.
constexpr std::size_t FILIATIONS_CONSTATS_MAX = 200;

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
  modele_climat lu;
  bool avec_modele = false;
  modele_climat* modele() override { return avec_modele ? &lu : nullptr; }
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

releve releve_de(std::string_view texte, bool avec_empreintes, bool avec_modele = false) {
  releve r;
  r.avec_empreintes = avec_empreintes;
  r.avec_modele = avec_modele;
  verifie_octets(texte.data(), texte.size(), r);
  return r;
}

std::vector<trouve> constats_de(std::string_view texte) { return releve_de(texte, false).constats; }

// The lines of the text as the pass counts them, by line feeds.
struct lignes_du_texte {
  std::string_view t;
  std::vector<std::size_t> debuts;

  // For each line, the nearest blank line and the nearest head at or
  // before it (0: none): a finding's candidates look back for them, and a
  // walk back from each of thousands of findings would cost their number
  // times the file's.
  std::vector<int> blanche_avant;
  std::vector<int> tete_avant;

  explicit lignes_du_texte(std::string_view texte) : t(texte) {
    debuts.push_back(0);
    for (std::size_t i = 0; i < t.size(); ++i)
      if (t[i] == '\n') debuts.push_back(i + 1);
    blanche_avant.assign(debuts.size() + 1, 0);
    tete_avant.assign(debuts.size() + 1, 0);
    for (int k = 1; static_cast<std::size_t>(k) <= debuts.size(); ++k) {
      const std::string_view c = contenu(k);
      blanche_avant[static_cast<std::size_t>(k)] = blanche(k) ? k : blanche_avant[static_cast<std::size_t>(k) - 1];
      tete_avant[static_cast<std::size_t>(k)] =
          !c.empty() && (c[0] == '>' || c[0] == '#') ? k : tete_avant[static_cast<std::size_t>(k) - 1];
    }
  }
  int blanche_au_plus(int l) const { return l < 1 ? 0 : blanche_avant[std::min(static_cast<std::size_t>(l), debuts.size())]; }
  int tete_au_plus(int l) const { return l < 1 ? 0 : tete_avant[std::min(static_cast<std::size_t>(l), debuts.size())]; }
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
  // What ends the line: its line feed and a CR before it, or nothing.
  std::string_view fin_de_ligne(int l) const {
    return t.substr(debut(l) + contenu(l).size(), suivante(l) - debut(l) - contenu(l).size());
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

// Whether line `n` repeats the one before: a line doubled rather than a
// list numbered wrong, which renumbering would hide; it is not tried.
bool doublee(const lignes_du_texte& l, int n) { return n > 1 && l.existe(n) && l.contenu(n) == l.contenu(n - 1); }

// The entries of a list or the moments of the clock around the finding's
// line: the lines that begin with a digit, one after another, after the
// line that follows the head (the probabilities or the total). The head,
// however mistyped, says which list. A precipitation's number is its name in
// the rules: no renumbering can know which rules meant which, and the table
// of paragraphs gives its head nothing to be known by here.
std::vector<correction> renumerotation_d_entrees(const lignes_du_texte& l, const trouve& f) {
  if (!l.existe(f.ligne) || !l.commence_par_un_chiffre(f.ligne) || doublee(l, f.ligne)) return {};
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
    if (doublee(l, f.ligne)) return {};
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

// Lines a and a+1 in each other's place. A "<" is never moved above a line
// of its paragraph: the pass would pass over that line, and its findings
// would go with it.
void echange(const lignes_du_texte& l, int a, const trouve& f, std::vector<correction>& r) {
  const int b = a + 1;
  if (a < 1 || !l.existe(b) || l.blanche(a) || l.blanche(b) || l.contenu(a) == l.contenu(b)) return;
  if (l.contenu(b).starts_with("<") && l.contenu(a)[0] != '>' && l.contenu(a)[0] != '#') return;
  r.push_back({l.debut(a), l.suivante(b),
               std::string(l.contenu(b)) + std::string(l.fin_de_ligne(a)) + std::string(l.contenu(a)) + std::string(l.fin_de_ligne(b)),
               "Remettre les lignes " + std::to_string(a) + " et " + std::to_string(b) + " dans l'ordre", f.code, f.ligne, false,
               true});
}

// The slips of whole lines, tried at any finding: the line doubled, two
// neighbouring lines swapped, a blank line the pass read as a line of the
// paragraph. Only what the pass confirms is kept, so trying costs a pass.
void lignes_glissees(const lignes_du_texte& l, const modele_climat& m, const trouve& f, std::vector<correction>& r) {
  const int n = f.ligne;
  if (!l.existe(n)) return;
  const auto supprime = [&](int k, const char* titre) {
    // The last line, without a line feed, goes with the one before's.
    const bool derniere = l.fin_de_ligne(k).empty() && k > 1;
    const std::size_t a = derniere ? l.debut(k) - l.fin_de_ligne(k - 1).size() : l.debut(k);
    r.push_back({a, l.suivante(k), "", titre, f.code, f.ligne, false, true});
  };
  // A line doubled draws its finding on the copy, or, in the header whose
  // lines are known by their place, a few lines further.
  // Two lines alike are the slip: a swap there would only move the copy
  // where the pass passes over it.
  bool doublee = false;
  for (int k = std::max(2, n - 3); k <= n; ++k)
    if (!l.blanche(k) && l.contenu(k) == l.contenu(k - 1)) {
      supprime(k, "Supprimer la ligne en double");
      doublee = true;
    }
  // A head swapped with the line after it draws its findings a line later.
  for (int a = n - 2; a <= n && !doublee; ++a) echange(l, a, f, r);
  // The blank lines nearest before it in its paragraph (from the head the
  // pass took for it), or in the header.
  int tete = 0;
  for (const paragraphe_lu& p : m.paragraphes)
    if (p.tete > 0 && p.tete <= n) tete = std::max(tete, p.tete);
  int blanches = 0;
  for (int k = l.blanche_au_plus(n); k > tete && blanches < 2; k = l.blanche_au_plus(k - 1))
    if (!l.fin_de_ligne(k).empty()) {
      supprime(k, "Supprimer la ligne blanche");
      ++blanches;
    }
  // A head the pass read over as a line of this paragraph: the "<" that
  // ended it is missing, before the blank lines that come before that head.
  if (const int k = l.tete_au_plus(n); k > tete) {
    int debut = k;
    while (debut - 1 > tete && l.blanche(debut - 1)) --debut;
    r.push_back({l.debut(debut), l.debut(debut), std::string("<") + l.saut(debut), "Fermer le paragraphe par <", f.code, f.ligne});
    // Or that head and its "<" swapped, or the head and its next line.
    echange(l, k - 1, f, r);
    echange(l, k, f, r);
  }
  // A line the pass passed over just after a paragraph's "<": the "<" and
  // the last line of the paragraph swapped, whose findings come where the
  // missing entry is named.
  for (const paragraphe_lu& p : m.paragraphes)
    if (p.fin > 0 && p.fin_juste && l.existe(p.fin + 1)) {
      const std::string_view c = l.contenu(p.fin + 1);
      if (!c.empty() && c[0] != '>' && c[0] != '#') echange(l, p.fin, f, r);
    }
}

// A paragraph whose head is missing: the pass took the next head for its
// own, or looked for it to the end of the file, and passed over its lines.
// Its head, spelt as the format wants, goes before the first line that was
// passed over, or one of the few after it.
void tete_manquante(const lignes_du_texte& l, const modele_climat& m, const trouve& f, std::vector<correction>& r) {
  const paragraphe_climat* p = nullptr;
  for (const paragraphe_climat& x : PARAGRAPHES)
    if ((x.tete_absente.texte != nullptr && f.message == x.tete_absente.texte) ||
        (x.fin_avant_tete.texte != nullptr && f.message == x.fin_avant_tete.texte))
      p = &x;
  if (p == nullptr) return;
  // Where the paragraph before it ended: its line that ended it, or for the
  // first one the line of "#Affichage:".
  int fin = 0;
  if (p != &PARAGRAPHES[0]) fin = paragraphe_du_modele(m, (p - 1)->etape).fin;
  for (int k = 1; fin == 0 && k < f.ligne; ++k)
    if (l.contenu(k).starts_with("#")) fin = k;
  if (fin <= 0) return;
  int essais = 0;
  for (int k = fin + 1; l.existe(k) && k < f.ligne && essais < 4; ++k) {
    if (l.blanche(k)) continue;
    r.push_back({l.debut(k), l.debut(k), std::string(p->tete) + l.saut(k), std::string("Écrire la tête "_l1) + p->tete, f.code,
                 f.ligne, false, true});
    ++essais;
  }
}

// What could fix one finding by its code; the pass says which really do.
std::vector<correction> candidats_du_code(const lignes_du_texte& l, const trouve& f) {
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
      // The next paragraph's head came where the "<" should be, or after the
      // blank lines that separate the paragraphs: the "<" goes before them.
      int tete = f.ligne;
      while (l.existe(tete) && l.blanche(tete)) ++tete;
      const std::string_view c = l.existe(tete) ? l.contenu(tete) : std::string_view();
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

// The number `apres` characters into a line, or -1.
long numero_de(std::string_view c, std::size_t apres) {
  long v = -1;
  for (std::size_t i = apres; i < c.size() && i < apres + 6 && chiffre(c[i]); ++i) v = (v < 0 ? 0 : v * 10) + (c[i] - '0');
  return v;
}

// A line with its number replaced.
std::string renumerotee(std::string_view c, std::size_t apres, long numero) {
  std::size_t fin = apres;
  while (fin < c.size() && chiffre(c[fin])) ++fin;
  return std::string(c.substr(0, apres)) + std::to_string(numero) + std::string(c.substr(fin));
}

// Repairs that only show what follows from what: a line deleted from a
// list, the seasons, their temperatures or the clock, put back with a
// neighbour's fields and the number it must have; a list's probability line
// put back as another list's. What it held is lost, so none is a fix; but
// the findings it removes came from that one missing line.
void sondes(const lignes_du_texte& l, const modele_climat& m, const trouve& f, std::vector<correction>& r) {
  const int n = f.ligne;
  if (!l.existe(n)) return;
  const auto insere = [&](int k, std::string ligne) {
    r.push_back({l.debut(k), l.debut(k), std::move(ligne) + l.saut(k), "Remettre la ligne manquante", f.code, f.ligne, true});
  };
  const std::string_view c = l.contenu(n);
  const std::size_t apres = !c.empty() && chiffre(c[0]) ? 0 : 1;
  if ((f.code == 304 || f.code == 305 || f.code == 401 || f.code == 703) && n > 1) {
    // A gap in the numbers, or a first entry numbered 2.
    const long ici = numero_de(c, apres);
    // The line before is an entry unless it is the list's probabilities
    // ("20/60"), whose first number numbers nothing.
    const std::string_view p = l.contenu(n - 1);
    std::size_t fin = apres;
    while (fin < p.size() && chiffre(p[fin])) ++fin;
    const long avant = fin < p.size() && p[fin] == '/' ? -1 : numero_de(p, apres);
    if (ici >= 0 && avant >= 0 && ici == avant + 2) insere(n, renumerotee(l.contenu(n - 1), apres, avant + 1));
    if (ici == 2 && avant < 0) insere(n, renumerotee(c, apres, 1));
  }
  if (f.code == 501 || f.code == 502 || f.code == 503 || f.code == 407) {
    // An entry that a rule or a season names and its list lacks: it goes
    // after the entry numbered just below it.
    const long numero = numero_de(c, static_cast<std::size_t>(f.colonne));
    const liste_lue& liste = f.code == 501 || f.code == 502 ? m.precipitations
                             : f.code == 407 || f.message.starts_with("La temp") ? m.temperatures
                                                                                   : m.vents;
    const entree_lue* voisine = nullptr;
    for (const entree_lue& e : liste.entrees)
      if (e.numero.lu && e.numero.valeur < static_cast<double>(numero) &&
          (voisine == nullptr || e.numero.valeur >= voisine->numero.valeur))
        voisine = &e;
    if (numero > 0 && voisine != nullptr && l.existe(voisine->ligne.ligne + 1))
      insere(voisine->ligne.ligne + 1, renumerotee(l.contenu(voisine->ligne.ligne), 0, numero));
  }
  if (c.size() > 254 && numero_de(c, apres) >= 0) {
    // A line longer than one read takes is read as two: in its place, a
    // neighbour of the same kind (its number then ":") with its number.
    for (const int k : {n - 1, n + 1}) {
      const std::string_view v = l.existe(k) ? l.contenu(k) : std::string_view();
      std::size_t fin = apres;
      while (fin < v.size() && chiffre(v[fin])) ++fin;
      if (v.size() > 254 || fin == apres || fin >= v.size() || v[fin] != c[c.find_first_not_of("0123456789", apres)]) continue;
      r.push_back({l.debut(n), l.debut(n) + c.size(), renumerotee(v, apres, numero_de(c, apres)), "Remettre la ligne manquante", f.code,
                   f.ligne, true});
      break;
    }
  }
  if ((f.code == 301 || f.code == 302 || f.code == 303) && apres == 0 && c.find(':') != std::string_view::npos) {
    // An entry read as the probability line: that line is missing.
    for (const liste_lue* x : {&m.temperatures, &m.vents, &m.precipitations})
      if (x->probabilites.ligne > 0 && x->probabilites.ligne != n && l.existe(x->probabilites.ligne)) {
        insere(n, std::string(l.contenu(x->probabilites.ligne)));
        break;
      }
  }
}

// What could fix one finding: by its code, then the slips of whole lines,
// and with `avec_sondes` the probes.
std::vector<correction> candidats(const lignes_du_texte& l, const modele_climat& m, const trouve& f, bool avec_sondes) {
  std::vector<correction> r = candidats_du_code(l, f);
  lignes_glissees(l, m, f, r);
  if (f.code == 201 || f.code == 203 || f.code == 701) tete_manquante(l, m, f, r);
  if (avec_sondes) sondes(l, m, f, r);
  return r;
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
  bool reste_ecrit = false;  // a finding lies on a line the edit wrote
};

// Whether a finding of `apres` lies on lines [premiere, derniere] (a line
// after the edits' text).
bool constat_entre(const std::vector<trouve>& apres, int premiere, int derniere) {
  return std::any_of(apres.begin(), apres.end(), [&](const trouve& t) { return t.ligne >= premiere && t.ligne <= derniere; });
}

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
  int decalage = 0;
  for (std::size_t i = 0; i < edits.size(); ++i) {
    const etendue_lignes& x = e[i];
    if (sauts(edits[i]->texte) > 0)
      r.reste_ecrit = r.reste_ecrit || constat_entre(apres, x.premiere + decalage, x.derniere + decalage + x.ajoutees);
    decalage += x.ajoutees;
  }
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
// more. A candidate after which the states differ is tried alone; the one
// after it goes to the next pass, and those after that are measured in
// this one again once the states meet.
std::vector<std::optional<effet>> effets(std::string_view texte, const lignes_du_texte& l, const releve& avant,
                                        const std::vector<correction>& candidats, bool par_lots, std::size_t passes_max) {
  std::vector<std::optional<effet>> r(candidats.size());
  if (!par_lots) {
    for (std::size_t i = 0; i < candidats.size(); ++i) r[i] = effet_ensemble(texte, l, {&candidats[i]}, avant.constats);
    return r;
  }
  std::vector<etendue_lignes> e;
  for (const correction& c : candidats) e.push_back(lignes_de(texte, l, c));
  std::vector<std::size_t> en_attente(candidats.size());
  for (std::size_t i = 0; i < candidats.size(); ++i) en_attente[i] = i;
  // The edits inside a line first, in the order of the text, then those
  // that move whole lines: a moved line changes what the pass carries on,
  // and in a lot of their own they do not keep the others from being
  // measured.
  const auto avant_dans_les_lots = [&](std::size_t a, std::size_t b) {
    return std::pair(candidats[a].lignes, candidats[a].debut) < std::pair(candidats[b].lignes, candidats[b].debut);
  };
  std::sort(en_attente.begin(), en_attente.end(), avant_dans_les_lots);
  const auto empreinte = [](const releve& x, int ligne) {
    return static_cast<std::size_t>(ligne) < x.empreintes.size() ? x.empreintes[static_cast<std::size_t>(ligne)] : 0;
  };
  std::vector<std::size_t> seuls;
  std::size_t passes = 0;
  for (std::size_t lots = 0; !en_attente.empty() && lots < LOTS_MAX && passes < passes_max; ++lots, ++passes) {
    std::vector<std::size_t> lot;
    std::vector<std::size_t> reste;
    for (const std::size_t i : en_attente)
      (lot.empty() || e[i].premiere > e[lot.back()].derniere ? lot : reste).push_back(i);
    std::vector<const correction*> edits;
    for (const std::size_t i : lot) edits.push_back(&candidats[i]);
    const releve apres = releve_de(applique_tout(texte, edits), true);
    int decalage = 0;         // lines added by the candidates before
    bool a_l_unisson = true;  // the states at this candidate's first line are alike
    for (std::size_t k = 0; k < lot.size(); ++k) {
      const etendue_lignes& x = e[lot[k]];
      const bool dernier = k + 1 == lot.size();
      const int fin = dernier ? INT_MAX : e[lot[k + 1]].premiere;
      const int fin_apres = dernier ? INT_MAX : fin + decalage + x.ajoutees;
      const bool rejoint = dernier || (empreinte(avant, fin) != 0 && empreinte(avant, fin) == empreinte(apres, fin_apres));
      // A candidate reached by the change of the one before waits for
      // another lot; one whose change still shows at the next one's line is
      // tried alone. The states may meet again further on: the candidates
      // from there are measured in this pass.
      const bool mesurable = a_l_unisson && rejoint;
      if (!a_l_unisson) reste.push_back(lot[k]);
      else if (!rejoint) seuls.push_back(lot[k]);
      a_l_unisson = rejoint;
      if (!mesurable) {
        decalage += x.ajoutees;
        continue;
      }
      effet& f = r[lot[k]].emplace();
      const int debut_apres = x.premiere + decalage;
      compare(avant.constats, premier_a(avant.constats, x.premiere), premier_a(avant.constats, fin), apres.constats,
              premier_a(apres.constats, debut_apres), premier_a(apres.constats, fin_apres),
              [&](int n) { return n <= x.derniere ? x.premiere : n; },
              [&](int n) { return n <= x.derniere + decalage + x.ajoutees ? x.premiere : n - decalage - x.ajoutees; }, f);
      std::sort(f.retires.begin(), f.retires.end());
      if (sauts(candidats[lot[k]].texte) > 0)
        f.reste_ecrit = constat_entre(apres.constats, debut_apres, x.derniere + decalage + x.ajoutees);
      decalage += x.ajoutees;
    }
    std::sort(reste.begin(), reste.end(), avant_dans_les_lots);
    en_attente = std::move(reste);
  }
  for (std::size_t k = 0; k < seuls.size() && k < ESSAIS_SEULS_MAX && passes < passes_max; ++k, ++passes)
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

namespace {

// The sure fixes of a text's findings on lines [premiere, derniere], in the
// order of the text, each with the findings it removes; and every repair
// the pass confirmed (probes and rival fixes too), with what each removes.
struct analyse {
  releve avant;
  std::vector<correction> sures;
  std::vector<std::vector<std::size_t>> retires;
  std::vector<correction> confirmees;
  std::vector<std::vector<std::size_t>> retires_confirmees;
};

analyse analyse_de(std::string_view texte, int premiere, int derniere, bool par_lots, bool avec_sondes = false,
                   std::size_t constats_max = SIZE_MAX, std::size_t passes_max = SIZE_MAX) {
  analyse a{releve_de(texte, true, true), {}, {}, {}, {}};
  const std::vector<trouve>& constats = a.avant.constats;
  const lignes_du_texte l(texte);
  // Each candidate once, with the findings that proposed it: one edit may
  // fix several (a list numbered wrong twice, a blank line and all it drew).
  std::vector<correction> essayees;
  std::vector<std::vector<std::size_t>> pour;
  std::map<std::tuple<std::size_t, std::size_t, std::string>, std::size_t> deja;
  const std::size_t premier = premier_a(constats, premiere);
  for (std::size_t k = premier; k < constats.size() && constats[k].ligne <= derniere && k - premier < constats_max; ++k)
    for (correction& c : candidats(l, a.avant.lu, constats[k], avec_sondes)) {
      const auto [ici, nouvelle] = deja.try_emplace({c.debut, c.fin, c.texte}, essayees.size());
      if (nouvelle) {
        essayees.push_back(std::move(c));
        pour.emplace_back();
      }
      pour[ici->second].push_back(k);
    }
  const std::vector<std::optional<effet>> e = effets(texte, l, a.avant, essayees, par_lots, passes_max);
  // Every candidate the pass confirms: a finding that proposed it gone (the
  // first such is the one it is for), nothing added.
  std::vector<std::size_t> confirmees;
  for (std::size_t i = 0; i < essayees.size(); ++i) {
    // A repair that writes whole lines must leave them without a finding: a
    // comment moved under a head, where the probability line goes, removes
    // the finding of the head and is no repair.
    if (!e[i] || e[i]->ajoute || (essayees[i].lignes && e[i]->reste_ecrit)) continue;
    const auto fait = std::find_if(pour[i].begin(), pour[i].end(), [&](std::size_t k) {
      return std::binary_search(e[i]->retires.begin(), e[i]->retires.end(), k);
    });
    if (fait == pour[i].end()) continue;
    essayees[i].code = constats[*fait].code;
    essayees[i].ligne = constats[*fait].ligne;
    a.confirmees.push_back(essayees[i]);
    a.retires_confirmees.push_back(e[i]->retires);
    if (!essayees[i].sonde) confirmees.push_back(i);
  }
  // Where two fixes remove some of the same findings, one is the author's
  // slip and the other a guess: a fix stays only if it removes all that any
  // such other removes, and more. Two that remove the same are two plausible
  // corrections, and neither stays.
  std::multimap<std::size_t, std::size_t> par_constat;  // finding -> the confirmed fixes that remove it
  for (const std::size_t i : confirmees)
    for (const std::size_t k : e[i]->retires) par_constat.emplace(k, i);
  std::vector<std::size_t> gardees;
  for (const std::size_t i : confirmees) {
    const std::vector<std::size_t>& r = e[i]->retires;
    bool garde = true;
    for (std::size_t n = 0; n < r.size() && garde; ++n)
      for (auto [x, y] = par_constat.equal_range(r[n]); x != y && garde; ++x) {
        if (x->second == i) continue;
        const std::vector<std::size_t>& o = e[x->second]->retires;
        // Between two that remove the same, a fix of the finding itself
        // before one that moves lines.
        garde = (r.size() > o.size() && std::includes(r.begin(), r.end(), o.begin(), o.end())) ||
                (r == o && !essayees[i].lignes && essayees[x->second].lignes);
      }
    if (garde) gardees.push_back(i);
  }
  std::stable_sort(gardees.begin(), gardees.end(), [&](std::size_t x, std::size_t y) { return essayees[x].debut < essayees[y].debut; });
  for (const std::size_t i : gardees) {
    a.sures.push_back(essayees[i]);
    au_plus_court(texte, a.sures.back());
    a.retires.push_back(e[i]->retires);
  }
  return a;
}

}  // namespace

std::vector<correction> corrections_sures(std::string_view texte, std::size_t nombre_max, int premiere, int derniere,
                                          bool par_lots) {
  std::vector<correction> sures = analyse_de(texte, premiere, derniere, par_lots).sures;
  if (sures.size() > nombre_max) sures.resize(nombre_max);
  return sures;
}

std::vector<filiation> filiations(std::string_view texte) {
  if (texte.size() > FILIATIONS_OCTETS_MAX) return {};
  // The roots are looked for at each keystroke: the passes they take read
  // at most about 32 MiB, however long the text.
  const std::size_t passes_max = std::max<std::size_t>(4, (std::size_t{32} << 20) / std::max<std::size_t>(texte.size(), 1));
  const analyse a = analyse_de(texte, 1, INT_MAX, true, true, FILIATIONS_CONSTATS_MAX, passes_max);
  const std::vector<trouve>& constats = a.avant.constats;
  std::vector<filiation> r(constats.size());
  const lignes_du_texte l(texte);
  // The repairs that remove the most first: each makes its first finding a
  // root and the others it removes its consequences, unless an earlier one
  // already placed them. A finding no repair removes is its own root.
  std::vector<std::size_t> ordre(a.confirmees.size());
  for (std::size_t i = 0; i < ordre.size(); ++i) ordre[i] = i;
  // Between repairs that remove as much, a fix before a probe.
  std::stable_sort(ordre.begin(), ordre.end(), [&](std::size_t x, std::size_t y) {
    const std::size_t nx = a.retires_confirmees[x].size();
    const std::size_t ny = a.retires_confirmees[y].size();
    return nx != ny ? nx > ny : !a.confirmees[x].sonde && a.confirmees[y].sonde;
  });
  std::vector<bool> place(constats.size(), false);
  for (const std::size_t i : ordre) {
    const std::vector<std::size_t>& retires = a.retires_confirmees[i];
    const std::size_t racine = retires.front();
    if (place[racine]) continue;
    place[racine] = true;
    for (const std::size_t k : retires)
      if (k != racine && !place[k]) {
        r[k].cause = static_cast<int>(racine);
        place[k] = true;
      }
    // Where the repair is, when not on the root's own line: a blank line
    // that drew nothing, the place of a missing line. A repair that writes
    // a whole list again (a renumbering) is where it changes something.
    correction c = a.confirmees[i];
    au_plus_court(texte, c);
    const auto ligne = static_cast<int>(std::upper_bound(l.debuts.begin(), l.debuts.end(), c.debut) - l.debuts.begin());
    if (ligne != constats[racine].ligne) {
      r[racine].ligne_origine = ligne;
      r[racine].colonne_origine = static_cast<int>(c.debut - l.debut(ligne));
    }
  }
  return r;
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
