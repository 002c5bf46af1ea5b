#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "aide_verification.hpp"
#include "testeur_climat/passe.hpp"

namespace {

TEST(Erreur_aff, ConsoleConvertieJournalEnLatin1) {
  ASSERT_EQ(chdir(dossier_prive().c_str()), 0);
  std::fclose(std::fopen("Erreur.log", "w"));
  int erreurs = 0;
  int avertissements = 0;
  testing::internal::CaptureStdout();
  Erreur_aff(&erreurs, 1, 1, "La premi\xE8re ligne\n");
  Erreur_aff(&avertissements, 2, 40, "Les num\xE9ros des moments ne se suivent pas.");
  Erreur_aff(&avertissements, 7, 41, "100%%\n");
  std::fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "- Erreur ligne 1. La premi\xC3\xA8re ligne\n"
            "- Avertissement ligne 40. Les num\xC3\xA9ros des moments ne se suivent pas."
            "- Avertissement ligne 41. 100%%\n");
  EXPECT_EQ(lit_fichier("Erreur.log"),
            "- Erreur ligne 1. La premi\xE8re ligne\n"
            "- Avertissement ligne 40. Les num\xE9ros des moments ne se suivent pas."
            "- Avertissement ligne 41. 100%%\n");
  EXPECT_EQ(erreurs, 1);
  EXPECT_EQ(avertissements, 2);
}

struct lecture {
  bool lu;
  int num_ligne;
  std::string tampon;
};

// Each read of the reading rule on `octets`, until the file has ended twice.
std::vector<lecture> lectures(const std::string& octets) {
  std::FILE* f = fmemopen(const_cast<char*>(octets.data()), octets.size(), "r");
  int compteurs[2] = {0, 0};
  etat_passe e{f, &compteurs[0], &compteurs[1]};
  std::vector<lecture> r;
  int fins = 0;
  while (fins < 2) {
    const bool lu = lit_ligne(e);
    r.push_back({lu, e.num_ligne, e.tampon_ligne});
    if (!lu) ++fins;
  }
  std::fclose(f);
  return r;
}

TEST(Lecture, ChaqueLectureCompteUneLigne) {
  const auto r = lectures("a\nb\n");
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(r[0].tampon, "a\n");
  EXPECT_EQ(r[1].tampon, "b\n");
  // At the end of the file the counter still advances and the line stays.
  EXPECT_FALSE(r[2].lu);
  EXPECT_EQ(r[2].num_ligne, 3);
  EXPECT_EQ(r[2].tampon, "b\n");
  EXPECT_EQ(r[3].num_ligne, 4);
}

TEST(Lecture, LigneLongueEnDeuxLectures) {
  const std::string longue(300, 'x');
  const auto r = lectures(longue + "\nz\n");
  EXPECT_EQ(r[0].tampon, std::string(254, 'x'));
  EXPECT_EQ(r[1].tampon, std::string(46, 'x') + "\n");
  EXPECT_EQ(r[2].tampon, "z\n");
  EXPECT_EQ(r[2].num_ligne, 3);
  EXPECT_EQ(lectures(std::string(253, 'y') + "\n")[0].tampon, std::string(253, 'y') + "\n");
  EXPECT_EQ(lectures(std::string(254, 'y') + "\n")[1].tampon, "\n");
}

TEST(Lecture, TamponVideAvantLaPremiereLecture) {
  const auto r = lectures("");
  EXPECT_FALSE(r[0].lu);
  EXPECT_EQ(r[0].num_ligne, 1);
  EXPECT_EQ(r[0].tampon, "");
}

TEST(Lecture, ErreurDeLectureArreteLaPasse) {
  ASSERT_EQ(chdir(dossier_prive().c_str()), 0);
  std::fclose(std::fopen("Erreur.log", "w"));
  std::FILE* dossier = std::fopen("/", "r");
  ASSERT_NE(dossier, nullptr);
  int erreurs = 0;
  int avertissements = 0;
  testing::internal::CaptureStdout();
  moteur_principal(dossier, &erreurs, &avertissements);
  testing::internal::GetCapturedStdout();
  std::fclose(dossier);
  EXPECT_EQ(erreurs, 1);
  EXPECT_EQ(vers_utf8(lit_fichier("Erreur.log")),
            "- Erreur ligne 1. Le fichier de climat ne peut pas être lu (erreur de lecture), la vérification "
            "s'arrête ici.\n");
}

TEST(Nombres, CommeAtoiSansDebordement) {
  const struct {
    const char* texte;
    int attendu;
  } cas[] = {
      {"42", 42}, {"  -7x", -7}, {"+3", 3}, {"x", 0}, {"", 0}, {"\t\n 12", 12},
      {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
      {"99999999999999999999", 2147483647}, {"-99999999999999999999", -2147483647 - 1},
  };
  for (const auto& c : cas) EXPECT_EQ(lit_entier(c.texte), c.attendu) << c.texte;
  EXPECT_EQ(lit_reel("45.5\n"), 45.5f);
  EXPECT_EQ(lit_reel("1e300"), HUGE_VALF);
  EXPECT_NE(lit_reel("nan"), lit_reel("nan"));
}

TEST(Texte, CaractereAuDelaDeLaFin) {
  char t[8] = {'a', '\0', 'z', 'z', 'z', 'z', 'z', '\0'};
  EXPECT_EQ(car(t, 0), 'a');
  EXPECT_EQ(car(t, 1), '\0');
  EXPECT_EQ(car(t, 2), '\0');  // what lies after the end is never looked at
  retire_debut(t, 5);
  EXPECT_STREQ(t, "");
}

}  // namespace
