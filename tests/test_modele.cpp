// What the model says of one rule line, part by part, each part shown as
// the text its place covers on the line (donnees/modele_regles.txt): a
// place one character off shows at once. The line is put among the rules of
// the reference file, where every number it names exists.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "aide.hpp"
#include "constats.hpp"
#include "modele.hpp"

namespace {

struct avec_modele final : rapport_constats {
  modele_climat m;
  void rapporte(const constat&) override {}
  modele_climat* modele() override { return &m; }
};

// The text of `ligne` under `p`, in brackets; "?" when it lies elsewhere.
std::string sous(const std::string& ligne, int numero, const place& p) {
  if (p.ligne != numero || p.colonne_fin > static_cast<int>(ligne.size())) return "?";
  return "[" + ligne.substr(static_cast<std::size_t>(p.colonne), static_cast<std::size_t>(p.colonne_fin - p.colonne)) + "]";
}

std::string nombre(const std::string& ligne, int numero, const nombre_lu& n) {
  return n.lu ? sous(ligne, numero, n.ou) : "-";
}

// The rule as the model holds it, every part with the text under its place.
std::string decrit(const modele_climat& m, const regle_lue& r, const std::string& ligne) {
  const int l = r.ligne.ligne;
  std::string s = "P" + nombre(ligne, l, r.precipitation);
  for (const condition_lue& c : m.conditions_de(r)) {
    s += " C" + std::string(1, c.lettre) + sous(ligne, l, c.ou) + nombre(ligne, l, c.operande);
    if (c.sens != 0) s += c.sens;
    if (c.borne.lu) s += "-" + nombre(ligne, l, c.borne);
  }
  if (r.abandonnee) return s + " abandonnee";
  s += " M" + std::to_string(r.moteur) + (r.moteur != 5 ? sous(ligne, l, r.signe) : "");
  for (const valeur_lue& v : m.valeurs_de(r)) {
    s += " V" + nombre(ligne, l, v.precipitation);
    for (const qualificatif_lu& q : m.qualificatifs_de(v)) s += ";" + sous(ligne, l, q.ou) + nombre(ligne, l, q.numero);
    if (v.pourcentage.lu) s += "%" + nombre(ligne, l, v.pourcentage);
    if (v.groupe >= 0) s += "g" + std::to_string(v.groupe);
  }
  for (const groupe_lu& g : m.groupes_de(r)) s += " D" + sous(ligne, l, g.ou) + nombre(ligne, l, g.annonce);
  s += " B" + std::to_string(m.barres_de(r).size());
  if (r.fin_m4) s += " fin" + nombre(ligne, l, r.m4_premiere) + nombre(ligne, l, r.m4_seconde);
  return s + (r.point.ligne != 0 ? " " + sous(ligne, l, r.point) : " sans point");
}

class Regle : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(Regle, Parties) {
  const std::string& ligne = GetParam()[0];
  // Line 47 of the reference file is a rule line; this one comes before it.
  avec_modele rapport;
  const std::string texte = reference_avec({{'I', 47, ligne}});
  verifie_octets(texte.data(), texte.size(), rapport);
  const regle_lue* r = nullptr;
  for (const regle_lue& x : rapport.m.regles)
    if (x.ligne.ligne == 47) r = &x;
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(decrit(rapport.m, *r, ligne), GetParam()[1]);
}

INSTANTIATE_TEST_SUITE_P(Table, Regle, testing::ValuesIn(cas("modele_regles.txt", "Règles")));

// An entry of a list, its line replacing line 12 (temperatures), 20 (winds)
// or 28 (precipitations) of the reference file: its number, variation,
// effect and display text, each as the text under its place.
class Entree : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(Entree, Champs) {
  const std::string& liste = GetParam()[0];
  const int numero = liste == "temperature" ? 12 : liste == "vent" ? 20 : 28;
  avec_modele rapport;
  const std::string texte = reference_avec({{'R', numero, GetParam()[1]}});
  verifie_octets(texte.data(), texte.size(), rapport);
  const liste_lue& l = liste == "temperature" ? rapport.m.temperatures : liste == "vent" ? rapport.m.vents : rapport.m.precipitations;
  std::string s = "?";
  for (const entree_lue& x : l.entrees) {
    if (x.ligne.ligne != numero) continue;
    const std::string ligne = latin1(GetParam()[1]);
    s = "N" + nombre(ligne, numero, x.numero) + " T" + (x.variation.ou.ligne != 0 ? sous(ligne, numero, x.variation.ou) : "-") +
        " F" + nombre(ligne, numero, x.effet) + " A" + (x.affichage.ou.ligne != 0 ? sous(ligne, numero, x.affichage.ou) : "-");
    if (x.affichage.ou.ligne != 0 && x.affichage.texte != ligne.substr(static_cast<std::size_t>(x.affichage.ou.colonne))) s += " (texte ?)";
  }
  EXPECT_EQ(s, latin1(GetParam()[2]));
}

INSTANTIATE_TEST_SUITE_P(Table, Entree, testing::ValuesIn(cas("modele_regles.txt", "Entrées")));

// A moment of the clock in place of line 58: its number, its time
// expression, each sun event it names (and which one it is), its variation
// and its display text.
class Moment : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(Moment, Champs) {
  avec_modele rapport;
  const std::string texte = reference_avec({{'R', 58, GetParam()[0]}});
  verifie_octets(texte.data(), texte.size(), rapport);
  const std::string ligne = latin1(GetParam()[0]);
  std::string s = "?";
  for (const moment_lu& x : rapport.m.horloge.moments) {
    if (x.ligne.ligne != 58) continue;
    s = "N" + nombre(ligne, 58, x.numero) + " H" + sous(ligne, 58, x.expression.ou);
    for (const variable_lue& v : x.variables)
      s += " $" + sous(ligne, 58, v.ou) + (v.evenement >= 0 ? VARIABLES_HORLOGE[v.evenement].nom : "?");
    s += " T" + (x.variation.ou.ligne != 0 ? sous(ligne, 58, x.variation.ou) : "-") + " A" +
         (x.affichage.ou.ligne != 0 ? sous(ligne, 58, x.affichage.ou) : "-");
  }
  EXPECT_EQ(s, latin1(GetParam()[1]));
}

INSTANTIATE_TEST_SUITE_P(Table, Moment, testing::ValuesIn(cas("modele_regles.txt", "Moments")));

// What the pass expects on a line cut where an editor's cursor stands: each
// place as its kind (t, v, p, $) and its column, with the column of the
// letter that announced it.
struct attentes final : rapport_constats {
  int ligne = 0;
  std::string vues;
  void rapporte(const constat&) override {}
  int ligne_des_attentes() const override { return ligne; }
  void attend(const attente& a) override {
    vues += std::string(vues.empty() ? "" : " ") + "tvp$"[static_cast<int>(a.sorte)] + std::to_string(a.colonne);
    if (a.colonne_lettre >= 0) vues += "/" + std::to_string(a.colonne_lettre);
  }
};

class Attente : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(Attente, Places) {
  // A rule line before line 47, a moment of the clock in place of line 58.
  const bool moment = GetParam()[0] == "moment";
  attentes rapport;
  rapport.ligne = moment ? 58 : 47;
  const std::string texte = reference_avec({{moment ? 'R' : 'I', rapport.ligne, GetParam()[1]}});
  verifie_octets(texte.data(), texte.size(), rapport);
  EXPECT_EQ(rapport.vues, GetParam()[2]);
}

INSTANTIATE_TEST_SUITE_P(Table, Attente, testing::ValuesIn(cas("modele_regles.txt", "Attentes")));

}  // namespace
