#include "diff_unifie.hpp"

#include <algorithm>
#include <vector>

namespace {

// Lines of context around each change.
constexpr std::size_t CONTEXTE = 3;
// Beyond this many lines added and removed, the shortest script costs too
// much: the changed region becomes one replacement.
constexpr long DIFFERENCES_MAX = 2000;

// The lines of a text, each with its line feed (the last may have none).
std::vector<std::string_view> lignes(std::string_view t) {
  std::vector<std::string_view> r;
  for (std::size_t debut = 0; debut < t.size();) {
    const std::size_t saut = t.find('\n', debut);
    const std::size_t fin = saut == std::string_view::npos ? t.size() : saut + 1;
    r.push_back(t.substr(debut, fin - debut));
    debut = fin;
  }
  return r;
}

// What each line becomes: ' ' kept, '-' removed, '+' added, in the order of
// the script (a removal before the addition that takes its place).
struct pas {
  char sorte;
  std::size_t ligne;  // in the text it comes from: the old one for ' ' and '-'
};

// The shortest script between a[0..n) and b[0..m) (Myers's algorithm, which
// keeps, for each number of differences, the furthest point of each
// diagonal); empty when it would need more than DIFFERENCES_MAX.
std::vector<pas> script_le_plus_court(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b,
                                      std::size_t da, std::size_t fa, std::size_t db, std::size_t fb) {
  const long n = static_cast<long>(fa - da);
  const long m = static_cast<long>(fb - db);
  const long max = std::min(n + m, DIFFERENCES_MAX);
  std::vector<std::vector<long>> traces;  // for each d, x on diagonals -d..d
  std::vector<long> v(static_cast<std::size_t>(2 * max + 3), 0);
  const long decalage = max + 1;
  for (long d = 0; d <= max; ++d) {
    bool arrive = false;
    for (long k = -d; k <= d; k += 2) {
      long x = k == -d || (k != d && v[static_cast<std::size_t>(k - 1 + decalage)] < v[static_cast<std::size_t>(k + 1 + decalage)])
                   ? v[static_cast<std::size_t>(k + 1 + decalage)]
                   : v[static_cast<std::size_t>(k - 1 + decalage)] + 1;
      long y = x - k;
      while (x < n && y < m && a[da + static_cast<std::size_t>(x)] == b[db + static_cast<std::size_t>(y)]) ++x, ++y;
      v[static_cast<std::size_t>(k + decalage)] = x;
      arrive = arrive || (x >= n && y >= m);
    }
    traces.emplace_back(v.begin() + (decalage - d), v.begin() + (decalage + d + 1));
    if (arrive) {
      // Back from the end, along the diagonals each step came from.
      std::vector<pas> r;
      long x = n;
      long y = m;
      for (long e = d; e > 0; --e) {
        const std::vector<long>& p = traces[static_cast<std::size_t>(e - 1)];
        const auto en = [&](long kk) { return p[static_cast<std::size_t>(kk + e - 1)]; };
        const long k = x - y;
        const bool vers_le_bas = k == -e || (k != e && en(k - 1) < en(k + 1));
        const long k_avant = vers_le_bas ? k + 1 : k - 1;
        const long x_avant = en(k_avant);
        const long y_avant = x_avant - k_avant;
        while (x > (vers_le_bas ? x_avant : x_avant + 1) && y > (vers_le_bas ? y_avant + 1 : y_avant))
          r.push_back({' ', da + static_cast<std::size_t>(--x)}), --y;
        if (vers_le_bas)
          r.push_back({'+', db + static_cast<std::size_t>(--y)});
        else
          r.push_back({'-', da + static_cast<std::size_t>(--x)});
      }
      while (x > 0) r.push_back({' ', da + static_cast<std::size_t>(--x)}), --y;
      std::reverse(r.begin(), r.end());
      return r;
    }
  }
  return {};
}

// A file's name in the header, after "a/" or "b/", as git writes it: in
// double quotes with C escapes when it holds a byte that a reader of the
// header would take for something else (a control character, a blank, a
// double quote, a backslash, a byte above 127), so that `patch -p1` and
// `git apply` act on that file or refuse, never on another one.
std::string nom_dans_l_en_tete(std::string_view prefixe, std::string_view chemin) {
  const std::string nom = std::string(prefixe) + std::string(chemin);
  const bool a_citer = std::any_of(nom.begin(), nom.end(), [](char c) {
    const auto o = static_cast<unsigned char>(c);
    return o <= ' ' || o >= 0x7F || c == '"' || c == '\\';
  });
  if (!a_citer) return nom;
  std::string r = "\"";
  for (const char c : nom) {
    const auto o = static_cast<unsigned char>(c);
    static constexpr std::string_view SPECIAUX = "\a\b\t\n\v\f\r\"\\";
    static constexpr std::string_view LETTRES = "abtnvfr\"\\";
    if (const std::size_t k = SPECIAUX.find(c); k != std::string_view::npos) {
      r += '\\';
      r += LETTRES[k];
    } else if (o < ' ' || o >= 0x7F) {
      r += '\\';
      r += static_cast<char>('0' + (o >> 6));
      r += static_cast<char>('0' + ((o >> 3) & 7));
      r += static_cast<char>('0' + (o & 7));
    } else {
      r += c;
    }
  }
  return r + "\"";
}

std::string en_tete_de_bloc(std::size_t debut, std::size_t nombre) {
  // A range of no line names the line before it.
  std::string r = std::to_string(nombre == 0 ? debut : debut + 1);
  if (nombre != 1) {
    r += ',';
    r += std::to_string(nombre);
  }
  return r;
}

// The whole script from `avant` to `apres`, line by line.
std::vector<pas> script_entier(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b) {
  // What both share at the start and at the end is kept as it is.
  std::size_t debut = 0;
  while (debut < a.size() && debut < b.size() && a[debut] == b[debut]) ++debut;
  std::size_t fin_a = a.size();
  std::size_t fin_b = b.size();
  while (fin_a > debut && fin_b > debut && a[fin_a - 1] == b[fin_b - 1]) --fin_a, --fin_b;
  std::vector<pas> script;
  for (std::size_t i = 0; i < debut; ++i) script.push_back({' ', i});
  std::vector<pas> milieu = script_le_plus_court(a, b, debut, fin_a, debut, fin_b);
  if (milieu.empty()) {
    for (std::size_t i = debut; i < fin_a; ++i) milieu.push_back({'-', i});
    for (std::size_t i = debut; i < fin_b; ++i) milieu.push_back({'+', i});
  }
  script.insert(script.end(), milieu.begin(), milieu.end());
  for (std::size_t i = fin_a; i < a.size(); ++i) script.push_back({' ', i});
  return script;
}

}  // namespace

std::vector<remplacement> remplacements(std::string_view avant, std::string_view apres) {
  const std::vector<std::string_view> a = lignes(avant);
  const std::vector<std::string_view> b = lignes(apres);
  std::vector<remplacement> r;
  std::size_t lu = 0;  // bytes of `avant` before the step
  const std::vector<pas> script = script_entier(a, b);
  for (std::size_t i = 0; i < script.size();) {
    if (script[i].sorte == ' ') {
      lu += a[script[i++].ligne].size();
      continue;
    }
    remplacement m{lu, lu, {}};
    for (; i < script.size() && script[i].sorte != ' '; ++i)
      if (script[i].sorte == '-')
        m.fin += a[script[i].ligne].size();
      else
        m.texte += b[script[i].ligne];
    lu = m.fin;
    // Without the characters the run leaves as they were at its two ends.
    std::size_t debut = 0;
    while (m.debut + debut < m.fin && debut < m.texte.size() && avant[m.debut + debut] == m.texte[debut]) ++debut;
    std::size_t fin = 0;
    while (m.fin - fin > m.debut + debut && m.texte.size() - fin > debut &&
           avant[m.fin - fin - 1] == m.texte[m.texte.size() - fin - 1])
      ++fin;
    m.texte = m.texte.substr(debut, m.texte.size() - fin - debut);
    m.debut += debut;
    m.fin -= fin;
    r.push_back(std::move(m));
  }
  return r;
}

std::string diff_unifie(std::string_view avant, std::string_view apres, std::string_view chemin) {
  if (avant == apres) return {};
  const std::vector<std::string_view> a = lignes(avant);
  const std::vector<std::string_view> b = lignes(apres);
  const std::vector<pas> script = script_entier(a, b);
  std::string r = "--- " + nom_dans_l_en_tete("a/", chemin) + "\n+++ " + nom_dans_l_en_tete("b/", chemin) + "\n";
  const auto ligne = [&](const pas& p) { return p.sorte == '+' ? b[p.ligne] : a[p.ligne]; };
  for (std::size_t i = 0; i < script.size();) {
    if (script[i].sorte == ' ') {
      ++i;
      continue;
    }
    // A hunk: the changes that lie within twice the context of each other.
    std::size_t premier = i >= CONTEXTE ? i - CONTEXTE : 0;
    std::size_t dernier = i;
    for (std::size_t j = i; j < script.size(); ++j) {
      if (script[j].sorte != ' ') dernier = j;
      else if (j - dernier > 2 * CONTEXTE) break;
    }
    const std::size_t fin = std::min(script.size(), dernier + CONTEXTE + 1);
    std::size_t ancien = 0, nouveau = 0, ancien_debut = 0, nouveau_debut = 0;
    // Where the hunk begins in each text: the lines before it.
    for (std::size_t j = 0; j < premier; ++j) {
      if (script[j].sorte != '+') ++ancien_debut;
      if (script[j].sorte != '-') ++nouveau_debut;
    }
    for (std::size_t j = premier; j < fin; ++j) {
      if (script[j].sorte != '+') ++ancien;
      if (script[j].sorte != '-') ++nouveau;
    }
    r += "@@ -" + en_tete_de_bloc(ancien_debut, ancien) + " +" + en_tete_de_bloc(nouveau_debut, nouveau) + " @@\n";
    for (std::size_t j = premier; j < fin; ++j) {
      r += script[j].sorte;
      const std::string_view l = ligne(script[j]);
      r += l;
      if (l.empty() || l.back() != '\n') r += "\n\\ No newline at end of file\n";
    }
    i = fin;
  }
  return r;
}
