// A rule line that certainly draws no finding, recognised in one forward
// look: most rule lines of a climate file are such lines, and the full checks
// of causes.cpp and regles.cpp, which consume the line piece by piece, cost
// several times more. The recogniser accepts only the plain forms of the
// syntax (numbers written as digits, nothing unusual between the pieces);
// any other line, and every line it is not sure of, gets the full checks.
#include "testeur_climat/passe.hpp"

bool raccourci_des_regles = true;
long raccourcis_pris = 0;

namespace {

// A number written as 1 to 8 digits (no sign, no blank): its value, read as
// the full checks read it, and `p` moved past it.
bool nombre(const char*& p, int& valeur) {
  if (!chiffre(*p)) return false;
  valeur = 0;
  for (int n = 0; chiffre(*p); ++n, ++p) {
    if (n == 8) return false;
    valeur = valeur * 10 + (*p - '0');
  }
  return true;
}

// The same comparisons as the full checks, which hold numbers as floats.
bool existe(const etat_passe& e, char sorte, int n) {
  if (sorte == 't') return !(static_cast<float>(n) > static_cast<float>(e.nb_temperatures));
  if (sorte == 'v') return !(static_cast<float>(n) > static_cast<float>(e.nb_vents));
  return precipitation_listee(e, n);
}

// The condition block after its "[", up to and including its "]".
bool conditions(const etat_passe& e, const char*& p) {
  for (;;) {
    const char sorte = *p++;
    if (sorte != 't' && sorte != 'v' && sorte != 'p') return false;
    int n = 0;
    if (sorte != 'p' && (*p == 'a' || *p == 'b')) {
      ++p;
    } else {
      if (!nombre(p, n) || !existe(e, sorte, n)) return false;
      if (*p == '-') {
        ++p;
        if (!nombre(p, n) || !existe(e, sorte, n)) return false;
        if (*p == 't' || *p == 'v' || *p == 'p') continue;  // a condition may follow a range directly
      }
    }
    if (*p == ']') break;
    if (*p++ != '+') return false;
    if (*p == ']') break;
  }
  ++p;
  return true;
}

// What the body holds, for the checks of its engine once it is known.
struct corps {
  bool valeur_sans_pourcent = false;
  bool valeur_avec_pourcent = false;
  bool groupe = false;
  bool fin_m4 = false;
  bool barres = false;
  float pourcentage_precedent = 0;
};

// Qualifiers ";v" and ";t" with their numbers.
bool qualificatifs(const etat_passe& e, const char*& p) {
  int n = 0;
  while (*p == ';') {
    const char sorte = p[1];
    if (sorte != 'v' && sorte != 't') return false;
    p += 2;
    if (!nombre(p, n) || !existe(e, sorte, n)) return false;
  }
  return true;
}

bool entree(const etat_passe& e, const char*& p, corps& c) {
  int n = 0;
  if (*p == 'd') {
    ++p;
    int annonce = 0;
    if (!nombre(p, annonce) || *p++ != '{') return false;
    c.groupe = true;
    for (int lues = 1;; ++lues) {
      if (!nombre(p, n) || !precipitation_listee(e, n) || !qualificatifs(e, p)) return false;
      if (*p == ',' && p[1] == '}') ++p;
      if (*p == '}') {
        ++p;
        return lues == annonce;
      }
      if (*p++ != ',') return false;
    }
  }
  if (!nombre(p, n) || !precipitation_listee(e, n) || !qualificatifs(e, p)) return false;
  if (*p != '%' || p[1] == '%') {
    c.valeur_sans_pourcent = true;
    return true;
  }
  ++p;
  if (!nombre(p, n)) return false;
  const auto pourcentage = static_cast<float>(n);
  if (c.pourcentage_precedent >= pourcentage || pourcentage > 100) return false;
  c.pourcentage_precedent = pourcentage;
  c.valeur_avec_pourcent = true;
  return true;
}

// The body: entries and separators up to the final "." or the M4 ending.
bool corps_sans_constat(const etat_passe& e, const char* p) {
  corps c;
  for (;;) {
    if (!entree(e, p, c)) return false;
    if (*p != ',' && *p != '/' && *p != '.' && *p != '%') return false;
    if (*p == ',') ++p;
    if (*p == '/') {
      if (p[1] != '\\') return false;
      p += 2;
      c.barres = true;
    }
    if (*p == '.') break;
    if (*p == '%') {
      int premiere = 0;
      int seconde = 0;
      if (p[1] != '%') return false;
      p += 2;
      if (!nombre(p, premiere) || *p++ != '/' || !nombre(p, seconde) || *p != '.') return false;
      if (!(static_cast<float>(seconde) > static_cast<float>(premiere)) || static_cast<float>(seconde) > 100)
        return false;
      c.fin_m4 = true;
      break;
    }
  }
  // What follows the "." counts for the engine: no "%" may stand there.
  for (++p; *p != '\0'; ++p)
    if (*p == '%') return false;
  if (c.fin_m4) return c.barres && !c.valeur_avec_pourcent;     // M4
  if (!c.valeur_avec_pourcent) return c.barres;                  // M5
  return !c.valeur_sans_pourcent && !c.groupe;                   // M6
}

}  // namespace

bool regle_sans_constat(etat_passe& e, bool& sans_condition) {
  if (!raccourci_des_regles) return false;
  const char* p = e.ligne();
  int numero = 0;
  if (!nombre(p, numero) || !precipitation_listee(e, numero) || *p++ != '=') return false;
  sans_condition = *p != '[';
  if (!sans_condition && !conditions(e, ++p)) return false;
  if (!corps_sans_constat(e, p)) return false;
  ++raccourcis_pris;
  return true;
}
