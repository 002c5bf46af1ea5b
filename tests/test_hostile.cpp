// Hostile inputs, each run by the real program under a pseudo-terminal:
// every one ends with a report or a clear fatal message, "Erreur.log" agrees
// with the totals, and the climate file is never changed.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>

#include "aide_processus.hpp"
#include "aide_programme.hpp"

namespace {

const std::string TOTAUX_SANS_AVERTISSEMENT = "\nLe fichier de climat ne contient aucun avertissement.\n...";

struct issue {
  execution e;
  std::string journal;
};

// Runs the program on `contenu` written as "climat.txt" in a fresh folder.
issue lance_sur(const std::string& contenu) {
  const std::string dossier = dossier_temporaire();
  const std::string chemin = dossier + "/climat.txt";
  ecrit_fichier(chemin, contenu);
  issue r{lance_sous_terminal({{TESTEUR_CLIMAT_BIN, chemin}, dossier, "", {}, 120}, {{"...", "\n"}}), ""};
  r.journal = lit_fichier(dossier + "/Erreur.log");
  EXPECT_EQ(lit_fichier(chemin), contenu) << "the climate file must not change";
  return r;
}

// The log holds one prefix per counted finding, as the totals say.
void journal_coherent(const issue& r) {
  const int erreurs = occurrences(r.journal, "- Erreur ligne ");
  const int avertissements = occurrences(r.journal, "- Avertissement ligne ");
  const std::string total_e = erreurs == 0 ? "\nLe fichier de climat ne contient aucune erreur.\n"
                                           : "\n!!! Le fichier de climat contient " + std::to_string(erreurs) + " erreurs\n";
  const std::string total_a = avertissements == 0
                                  ? "Le fichier de climat ne contient aucun avertissement.\n..."
                                  : "! Le fichier de climat contient " + std::to_string(avertissements) + " avertissements\n...";
  EXPECT_NE(r.e.sortie.find(total_e + total_a), std::string::npos) << r.e.sortie.substr(0, 2000);
}

std::string ligne_erreur(int ligne, const std::string& message) {
  return "- Erreur ligne " + std::to_string(ligne) + ". " + message;
}
std::string ligne_avertissement(int ligne, const std::string& message) {
  return "- Avertissement ligne " + std::to_string(ligne) + ". " + message;
}

const std::string LATITUDE = "La première ligne doit commencer impérativement par Latitude=\n";
const std::string LONGITUDE = "La deuxième ligne doit commencer impérativement par Longitude=\n";
const std::string HEURE = "Erreur de syntaxe pour l'heure d'été. Les réponses acceptées sont O, o, N ou n.\n";
const std::string IDENTIQUES =
    "Pour le temps avant changement de météo, les 2 valeurs sont identique, vérifiez que ce n'est pas une erreur\n";

TEST(Hostile, DossierCommeChemin) {
  const std::string dossier = dossier_temporaire();
  const execution r = lance_sous_terminal({{TESTEUR_CLIMAT_BIN, dossier}, dossier}, {{"...", "\n"}});
  EXPECT_EQ(r.sortie, CADRE + EN_COURS +
                          "- Erreur ligne 1. Le fichier de climat ne peut pas être lu (erreur de lecture), la "
                          "vérification s'arrête ici.\n\n!!! Le fichier de climat contient 1 erreurs" +
                          TOTAUX_SANS_AVERTISSEMENT);
  EXPECT_EQ(r.statut, 0);
}

TEST(Hostile, FichierBinaire) {
  std::string octets;
  std::uint32_t graine = 12345;
  for (int i = 0; i < 65536; ++i) {
    graine = graine * 1103515245u + 12345u;
    octets += static_cast<char>(graine >> 24);
  }
  const issue r = lance_sur(octets);
  EXPECT_EQ(r.e.statut, 0);
  journal_coherent(r);
}

TEST(Hostile, OctetsNulsDansLesLignes) {
  // A NUL ends the line for every test: the ":" after it is not seen.
  std::string contenu = vers_latin1(reference_avec({R(10, std::string("1:f1\0:Glacial", 13))}));
  const issue r = lance_sur(contenu);
  EXPECT_EQ(r.journal, vers_latin1(ligne_erreur(10, "Impossible de trouver le deuxième : qui précède l'affichage de la température.\n")));
  EXPECT_EQ(r.e.statut, 0);
  journal_coherent(r);
}

TEST(Hostile, UneLigneDeDixMegaOctets) {
  const std::size_t taille = 10'000'000;
  const issue r = lance_sur(std::string(taille, 'x') + "\n");
  // 254 bytes a read, then one read that meets the end of the file.
  const int lectures = static_cast<int>((taille + 1 + 253) / 254) + 1;
  EXPECT_EQ(vers_utf8(r.journal),
            ligne_erreur(1, LATITUDE) + ligne_erreur(2, LONGITUDE) + ligne_erreur(3, HEURE) +
                ligne_avertissement(5, IDENTIQUES) +
                ligne_avertissement(6, "Le nombre de fois avant changement de météo forcé est nul, vérifiez que ce n'est pas une erreur\n") +
                ligne_erreur(lectures, "Le fichier se termine avant le paragraphe de la température, qui doit commencer par >Température:\n"));
  EXPECT_EQ(r.e.statut, 0);
  journal_coherent(r);
}

TEST(Hostile, UnMillionDeLignes) {
  std::string contenu = lit_fichier(REFERENCE);
  contenu.reserve(contenu.size() + 12'000'000);
  for (int i = 0; i < 1'000'000; ++i) contenu += "remarque\n";
  const issue r = lance_sur(contenu);
  EXPECT_EQ(r.e.sortie, CADRE + EN_COURS + SANS_CONSTAT);
  EXPECT_EQ(r.e.statut, 0);
}

TEST(Hostile, RetoursChariotSeulement) {
  const issue r = lance_sur(std::string(1000, '\r'));
  EXPECT_EQ(vers_utf8(r.journal), ligne_erreur(1, LATITUDE) + ligne_erreur(2, LONGITUDE) + ligne_erreur(3, HEURE));
  EXPECT_EQ(r.e.statut, 0);
  journal_coherent(r);
}

TEST(Hostile, LignesDe253A255Caracteres) {
  const struct {
    std::size_t longueur;
    std::string attendu;
  } cas[] = {
      {253, ""},
      // From 254 on, the line feed or the last character comes in a second
      // read, examined as line 2: the header shifts by one line.
      {254, ligne_erreur(2, LONGITUDE) + ligne_erreur(3, HEURE) + ligne_avertissement(5, IDENTIQUES)},
      {255, ligne_erreur(2, LONGITUDE) + ligne_erreur(3, HEURE) + ligne_avertissement(5, IDENTIQUES)},
  };
  for (const auto& c : cas) {
    SCOPED_TRACE(c.longueur);
    const std::string premiere = "Latitude=45" + std::string(c.longueur - 11, ' ');
    const issue r = lance_sur(vers_latin1(reference_avec({R(1, premiere)})));
    EXPECT_EQ(vers_utf8(r.journal), c.attendu);
    EXPECT_EQ(r.e.statut, 0);
    journal_coherent(r);
  }
}

TEST(Hostile, CheminTropLong) {
  const std::string dossier = dossier_temporaire();
  const struct {
    std::string chemin;
    std::string message;
  } cas[] = {
      {std::string(5000, 'a'), "\n!!! Le chemin du fichier à ouvrir est trop long : une fois converti, il dépasse 4095 octets..."},
      // Accented bytes double once converted.
      {std::string(2100, '\xE9'), "\n!!! Le chemin du fichier à ouvrir est trop long : une fois converti, il dépasse 4095 octets..."},
      // It fits the conversion but not the system: the usual message.
      {"/" + std::string(4000, 'a'),
       "\n!!! Une erreur est survenue durant l'ouverture du fichier /" + std::string(4000, 'a') + ", en mode r..."},
  };
  for (const auto& c : cas) {
    const execution r = lance_sous_terminal({{TESTEUR_CLIMAT_BIN, c.chemin}, dossier}, {{"...", "\n"}});
    EXPECT_EQ(r.sortie, CADRE + c.message);
    EXPECT_EQ(r.statut, 1);
  }
}

TEST(Hostile, JournalImpossibleAOuvrir) {
  // A folder named "Erreur.log": even root cannot open it for writing.
  const std::string dossier = dossier_temporaire();
  mkdir((dossier + "/Erreur.log").c_str(), 0755);
  const execution r = lance_sous_terminal({{TESTEUR_CLIMAT_BIN, REFERENCE}, dossier}, {{"...", "\n"}});
  EXPECT_EQ(r.sortie, CADRE + "\n!!! Une erreur est survenue durant l'ouverture du fichier Erreur.log, en mode w...");
  EXPECT_EQ(r.statut, 1);
}

}  // namespace
