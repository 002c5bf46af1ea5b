// What the climate view draws: the facts of each file of donnees/dessins.txt
// (bands, nodes and their marks, arrows, moments out of order), and, for
// every example and test file, a drawing that stands on its own: every
// element that names a line names one of the file, no arrow beyond what the
// file holds, nothing a browser would run.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "aide.hpp"
#include "constats.hpp"
#include "chaines.hpp"
#include "dessin.hpp"

namespace {

struct avec_modele final : rapport_constats {
  modele_climat m;
  void rapporte(const constat&) override {}
  modele_climat* modele() override { return &m; }
};

std::string nombre(const nombre_lu& n) { return n.lu ? std::to_string(static_cast<long>(n.valeur)) : "_"; }

std::string decrit(const dessin_du_climat& d, const modele_climat& m, const std::string& html, const std::string& quoi) {
  std::string r;
  const auto ajoute = [&](const std::string& t, const char* entre) { r += (r.empty() ? "" : entre) + t; };
  if (quoi == "saisons")
    for (const bande_de_saison& b : d.bandes) {
      const auto borne = [](const nombre_lu& n, int rang) { return nombre(n) + (n.lu && rang < 0 ? "?" : ""); };
      const bool inversee = b.rang_minimum >= 0 && b.rang_maximum >= 0 && b.rang_minimum > b.rang_maximum;
      ajoute(nombre(b.saison) + ":" + borne(b.minimum, b.rang_minimum) + "-" + borne(b.maximum, b.rang_maximum) +
                 (inversee ? "!" : ""), " ");
    }
  if (quoi == "noeuds")
    for (const noeud_de_precipitation& n : d.noeuds) {
      std::string marques;
      for (const auto& [oui, nom] : {std::pair{n.hors_liste, "hors-liste"}, std::pair{n.sans_regle_libre, "sans-regle-libre"},
                                     std::pair{n.jamais_atteinte, "jamais-atteinte"}})
        if (oui) marques += (marques.empty() ? "" : ",") + std::string(nom);
      ajoute(std::to_string(n.numero) + (marques.empty() ? "" : "[" + marques + "]"), " ");
    }
  if (quoi == "fleches")
    for (std::size_t i = 0; i < d.fleches.size(); ++i) {
      const fleche_de_regle& f = d.fleches[i];
      const bool premiere = i == 0 || d.fleches[i - 1].regle != f.regle;
      const std::string valeur = std::to_string(f.vers) + (f.pourcentage_lu ? "%" + std::to_string(static_cast<long>(f.pourcentage)) : "");
      if (premiere)
        ajoute(std::to_string(f.ligne) + " M" + std::to_string(f.moteur) + (f.conditions.empty() ? "" : " " + f.conditions) + " " +
                   std::to_string(f.de) + ">" + valeur, " | ");
      else
        r += "," + valeur;
    }
  if (quoi == "colonnes")  // each band as the page places it over the scale, with its marks
    for (std::size_t p = html.find("<div class=\"bande"); p != std::string::npos; p = html.find("<div class=\"bande", p + 1)) {
      const std::string balise = html.substr(p, html.find('>', p) - p);
      const auto attribut = [&](const std::string& nom) {
        const std::size_t debut = balise.find(nom) + nom.size();
        return balise.substr(debut, balise.find_first_of("\";", debut) - debut);
      };
      std::string marques = attribut("class=\"bande");
      if (!marques.empty()) marques = "[" + marques.substr(1) + "]";
      ajoute(attribut("data-saison=\"") + ":" + attribut("grid-column:") + marques, " ");
    }
  if (quoi == "lieu")  // the place's dot, drawn only when both coordinates are read
    r = html.find("<circle class=\"point\"") != std::string::npos ? "point" : "-";
  if (quoi == "hors-ordre")
    for (std::size_t i = 0; i < d.hors_ordre.size(); ++i)
      if (d.hors_ordre[i]) ajoute(nombre(m.horloge.moments[i].numero), " ");
  return r.empty() ? "-" : r;
}

class Dessin : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(Dessin, Faits) {
  avec_modele rapport;
  const std::string texte = source(GetParam()[0]);
  verifie_octets(texte.data(), texte.size(), rapport);
  EXPECT_EQ(decrit(dessin_de(rapport.m), rapport.m, dessin_html(rapport.m, false), GetParam()[1]), GetParam()[2]);
}

INSTANTIATE_TEST_SUITE_P(Table, Dessin, testing::ValuesIn(cas("dessins.txt", "Dessins")));

// Past its bounds the drawing shows the first ones and says how many more
// there are: 130 precipitations listed, 250 rule lines of three values.
TEST(Dessin, Bornes) {
  std::string precipitations, regles;
  for (int k = 1; k <= 130; ++k) precipitations += std::to_string(k) + ":t0:f1:P\n";
  for (int k = 0; k < 250; ++k) regles += "1=1,2/\\3.\n";
  std::string texte = source("exemples/climat.txt");
  const auto remplace = [&](const std::string& tete, const std::string& lignes) {
    const std::size_t debut = texte.find('\n', texte.find('\n', texte.find(tete)) + 1) + 1;  // after the head and one line
    texte.replace(debut, texte.find("\n<", debut) + 1 - debut, lignes);
  };
  remplace(">Pr\xE9" "cipitation:", precipitations);
  remplace(">Causes", "1=1,2/\\3.\n" + regles);
  avec_modele rapport;
  verifie_octets(texte.data(), texte.size(), rapport);
  ASSERT_EQ(dessin_de(rapport.m).noeuds.size(), 130u);
  const std::string page = dessin_html(rapport.m, false);
  EXPECT_EQ(compte(page, "data-precipitation="), NOEUDS_DESSINES_MAX);
  EXPECT_EQ(compte(page, "<g class=\"fleche"), FLECHES_DESSINEES_MAX);
  EXPECT_EQ(compte(page, "class=\"de-plus\""), 2u);  // the nodes and the arrows (a table shows 400 rows)
}

// A display text is written as text: markup escaped, a control character
// (DEL among them) shown as the replacement character, the rest as it is.
TEST(Dessin, TexteEchappe) {
  std::string texte = source("exemples/climat.txt");
  texte.replace(texte.find("Pas un souffle"), 14, "<b>~\x7f\x01&\"");
  avec_modele rapport;
  verifie_octets(texte.data(), texte.size(), rapport);
  const std::string page = dessin_html(rapport.m, false);
  EXPECT_EQ(compte(page, "&lt;b&gt;~&#65533;&#65533;&amp;&quot;"), 1u);
}

TEST(Dessin, ChaqueFichier) {
  std::size_t fichiers = 0;
  for (const char* dossier : {"exemples", "tests/donnees", "tests/donnees/dessins"})
    for (const auto& e : std::filesystem::directory_iterator(std::string(DOSSIER_SOURCES) + "/" + dossier)) {
      if (e.path().extension() != ".txt") continue;
      ++fichiers;
      SCOPED_TRACE(e.path().string());
      avec_modele rapport;
      const std::string texte = lit_fichier(e.path().string());
      verifie_octets(texte.data(), texte.size(), rapport);
      const std::string page = dessin_html(rapport.m, true);
      const std::string fiche = fiche_html(rapport.m, "x<y>.txt", 1);
      EXPECT_TRUE(utf8_valide(page.c_str())) << "pas de l'UTF-8";
      EXPECT_EQ(compte(fiche, "<script"), 0u);
      EXPECT_EQ(compte(fiche, "x<y>"), 0u) << "nom du fichier non échappé";
      EXPECT_EQ(compte(fiche, "tabindex"), 0u) << "la fiche ne prend pas le focus";
      const dessin_du_climat d = dessin_de(rapport.m);
      EXPECT_EQ(compte(page, "<g class=\"fleche"), std::min(d.fleches.size(), FLECHES_DESSINEES_MAX));
      EXPECT_EQ(compte(page, "data-saison="), d.bandes.size() + [&] {
        std::size_t sans = 0;  // the seasons of the list that have no temperature line
        for (const saison_lue& s : rapport.m.saisons) {
          bool a = false;
          for (const bande_de_saison& b : d.bandes) a |= b.saison.lu && s.numero.lu && b.saison.valeur == s.numero.valeur;
          sans += !a;
        }
        return sans;
      }());
      const long lignes = static_cast<long>(compte(texte, "\n")) + 1;
      for (std::size_t p = page.find("data-ligne=\""); p != std::string::npos; p = page.find("data-ligne=\"", p + 1)) {
        const long l = std::stol(page.substr(p + 12));
        EXPECT_TRUE(l >= 1 && l <= lignes) << "ligne " << l;
      }
    }
  EXPECT_GE(fichiers, 40u);
}

}  // namespace
