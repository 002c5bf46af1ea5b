// The fixes of a file, in the test's own process: corrige_fichier on files
// of a fresh folder, its status, the file it leaves, and no temporary file
// left beside it. (The hostile cases, run as other users, are in
// donnees/attaques.txt.)
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "aide.hpp"
#include "constats.hpp"
#include "corrections.hpp"
#include "corrige_fichier.hpp"

namespace {

struct cas {
  const char* nom;
  const char* preparation;  // what stands at "c.txt": "fautes", "propre", "lien", "deux noms", "dossier"
  bool en_place;
  int statut;
  bool corrige;  // the file now holds the fixed text (else its own)
};

class Correction : public testing::TestWithParam<cas> {};

TEST_P(Correction, Fichier) {
  const cas& c = GetParam();
  const std::string d = dossier_temporaire();
  const std::string fautes = source("exemples/cascade_oublis.txt");
  const std::string propre = source("exemples/climat.txt");
  const std::string avant = std::string(c.preparation) == "propre" ? propre : fautes;
  const std::string cible = std::string(c.preparation) == "lien" ? d + "/vrai.txt" : d + "/c.txt";
  if (std::string(c.preparation) == "dossier")
    mkdir(cible.c_str(), 0755);
  else
    ecrit_fichier(cible, avant, 0640);
  if (std::string(c.preparation) == "lien") {
    ASSERT_EQ(symlink("vrai.txt", (d + "/c.txt").c_str()), 0);
  }
  if (std::string(c.preparation) == "deux noms") {
    ASSERT_EQ(link(cible.c_str(), (d + "/b.txt").c_str()), 0);
  }
  struct stat lu {};
  lstat(cible.c_str(), &lu);

  std::fflush(stdout);
  EXPECT_EQ(corrige_fichier((d + "/c.txt").c_str(), c.en_place, false), c.statut);
  if (std::string(c.preparation) == "dossier") return;
  EXPECT_EQ(lit_fichier(cible), c.corrige ? corrige(avant, true) : avant);
  struct stat apres {};
  lstat(cible.c_str(), &apres);
  EXPECT_EQ(apres.st_mode, lu.st_mode);
  EXPECT_EQ(apres.st_ino == lu.st_ino, !c.corrige) << "un fichier non corrigé garde son inode";
  if (std::string(c.preparation) == "lien") {
    EXPECT_TRUE(std::filesystem::is_symlink(d + "/c.txt"));
  }
  for (const auto& f : std::filesystem::directory_iterator(d))
    EXPECT_EQ(f.path().filename().string().find(".corrige."), std::string::npos) << f.path();
}

const cas CAS[] = {
    {"en_place", "fautes", true, 0, true},
    {"diff_seul", "fautes", false, 0, false},
    {"rien_a_corriger", "propre", true, 0, false},
    {"a_travers_un_lien", "lien", true, 0, true},
    {"deux_noms", "deux noms", true, 2, false},
    {"un_dossier", "dossier", true, 2, false},
};
INSTANTIATE_TEST_SUITE_P(Table, Correction, testing::ValuesIn(CAS), [](const auto& i) { return std::string(i.param.nom); });

}  // namespace

namespace {

// What each finding follows from (donnees/racines.txt): a slip made in the
// reference file, then its roots, each as its line and code, "@L" where its
// slip lies on another line, and "+N" the findings that follow from it.
class Racines : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(Racines, Glissement) {
  // The fields between the name and the roots: one retouch each.
  std::vector<retouche> retouches;
  for (std::size_t k = 1; k + 1 < GetParam().size(); ++k) {
    const std::string& r = GetParam()[k];
    if (r.empty()) continue;
    const std::size_t blanc = r.find(' ');
    retouches.push_back({r[0], std::stoi(r.substr(1, blanc - 1)), blanc == std::string::npos ? "" : r.substr(blanc + 1)});
  }
  const std::string texte = reference_avec(retouches);
  struct : rapport_constats {
    std::vector<std::string> vus;
    void rapporte(const constat& c) override { vus.push_back(std::to_string(c.ligne_editeur) + ":CL" + std::to_string(c.code)); }
  } rapport;
  verifie_octets(texte.data(), texte.size(), rapport);
  const std::vector<filiation> f = filiations(texte);
  std::string racines;
  for (std::size_t i = 0; i < rapport.vus.size(); ++i) {
    if (i < f.size() && f[i].cause >= 0) continue;
    racines += (racines.empty() ? "" : " ") + rapport.vus[i];
    if (i < f.size() && f[i].ligne_origine > 0) racines += "@" + std::to_string(f[i].ligne_origine);
    long suites = 0;
    for (const filiation& x : f) suites += x.cause == static_cast<int>(i);
    if (suites > 0) racines += "+" + std::to_string(suites);
  }
  EXPECT_EQ(racines, GetParam().back());
}

// Past 1 MiB, no root is looked for: each finding is its own.
TEST(Racines, PasAuDelaDUnMio) {
  const std::string petit = reference_avec({{'I', 52, ""}});
  ASSERT_FALSE(filiations(petit).empty());
  EXPECT_TRUE(filiations(petit + std::string(FILIATIONS_OCTETS_MAX, '\n')).empty());
}

INSTANTIATE_TEST_SUITE_P(Table, Racines, testing::ValuesIn(::cas("racines.txt", "Glissements")), [](const auto& i) {
  std::string nom = std::to_string(i.index) + "_";
  for (char c : i.param[0]) nom += (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ? c : '_';
  return nom;
});

}  // namespace

namespace {

// A file saved in UTF-8 read back in Latin-1: only when every character
// past ASCII is one of Latin-1's, and at least one is there.
TEST(Corrections, ReencodeEnLatin1) {
  const struct {
    std::string utf8;
    std::string latin1;
  } cas[] = {
      {"\xC2\x80", "\x80"}, {"a\xC3\xA9z", "a\xE9z"}, {"\xC3\xBF\xC2\xBF", "\xFF\xBF"}, {"ascii", ""},
      {"\xC3", ""},         {"a\xC3\x7F", ""},        {"\xC3\xC0", ""},                 {"\xC4\x80", ""},
      {"\xC1\xBF", ""},     {"\xE2\x82\xAC", ""},     {"\xE9t\xE9", ""},                {"", ""},
  };
  for (const auto& c : cas) EXPECT_EQ(reencode_en_latin1(c.utf8), c.latin1) << testing::PrintToString(c.utf8);
}

}  // namespace
