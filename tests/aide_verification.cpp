#include "aide_verification.hpp"
#include "aide_processus.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "testeur_climat/passe.hpp"

namespace {

std::vector<constat>* constats_en_cours = nullptr;

void recueille(int type, int ligne, const char* message) {
  if (constats_en_cours != nullptr) constats_en_cours->push_back({type, ligne, vers_utf8(message)});
}

}  // namespace

void PrintTo(const constat& c, std::ostream* os) {
  *os << (c.type == 1 ? "E(" : "A(") << c.ligne << ", \"" << c.message << "\")";
}

constat E(int ligne, const std::string& message) { return {1, ligne, message}; }
constat A(int ligne, const std::string& message) { return {2, ligne, message}; }

std::string vers_latin1(const std::string& utf8) {
  std::string r;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
      r += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F));
      ++i;
    } else {
      r += static_cast<char>(c);
    }
  }
  return r;
}

std::string vers_utf8(const std::string& latin1) {
  std::string r;
  for (char ch : latin1) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      r += ch;
    } else {
      r += static_cast<char>(0xC0 | (c >> 6));
      r += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return r;
}

namespace {

// The folders made by this test process, removed when it ends; a death
// test's child, which ends too, leaves them to its parent.
struct dossiers_a_effacer {
  pid_t createur = getpid();
  std::vector<std::string> dossiers;
  ~dossiers_a_effacer() {
    if (getpid() != createur) return;
    std::error_code ignore;
    for (const std::string& d : dossiers) std::filesystem::remove_all(d, ignore);
  }
};

std::string nouveau_dossier() {
  static dossiers_a_effacer a_effacer;
  char modele[] = "/tmp/testeur-climat-XXXXXX";
  if (mkdtemp(modele) == nullptr) throw std::runtime_error("mkdtemp");
  a_effacer.dossiers.push_back(modele);
  return modele;
}

}  // namespace

std::string dossier_temporaire() { return nouveau_dossier(); }

const std::string& dossier_prive() {
  static const std::string dossier = nouveau_dossier();
  return dossier;
}

std::string lit_fichier(const std::string& chemin) {
  std::ifstream f(chemin, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

void ecrit_fichier(const std::string& chemin, const std::string& contenu) {
  std::ofstream f(chemin, std::ios::binary | std::ios::trunc);
  f << contenu;
}

resultat_verification verifie_octets(const std::string& octets) {
  if (chdir(dossier_prive().c_str()) != 0) throw std::runtime_error("chdir");
  std::remove("Erreur.log");
  std::fclose(std::fopen("Erreur.log", "w"));
  resultat_verification r;
  // fmemopen refuses an empty buffer: an empty file is a real empty file.
  std::FILE* f = octets.empty() ? std::fopen("/dev/null", "r")
                                : fmemopen(const_cast<char*>(octets.data()), octets.size(), "r");
  constats_en_cours = &r.constats;
  observateur_constats = recueille;
  testing::internal::CaptureStdout();
  moteur_principal(f, &r.erreurs, &r.avertissements);
  std::fflush(stdout);
  r.console = testing::internal::GetCapturedStdout();
  observateur_constats = nullptr;
  constats_en_cours = nullptr;
  std::fclose(f);
  r.journal = lit_fichier("Erreur.log");
  return r;
}

resultat_verification verifie(const std::string& contenu) { return verifie_octets(vers_latin1(contenu)); }

void sans_terminal() {
  if (std::freopen("/dev/null", "r", stdin) == nullptr) std::abort();
  std::fflush(stdout);
  dup2(2, 1);
}

const std::vector<std::string>& reference() {
  static const std::vector<std::string> lignes =
      decoupe(vers_utf8(lit_fichier(std::string(DOSSIER_SOURCES) + "/tests/donnees/reference.txt")), '\n');
  return lignes;
}

std::vector<std::string> decoupe(const std::string& texte, char fin) {
  std::vector<std::string> morceaux;
  std::size_t debut = 0;
  for (std::size_t p; (p = texte.find(fin, debut)) != std::string::npos; debut = p + 1)
    morceaux.push_back(texte.substr(debut, p - debut));
  return morceaux;
}

std::string debut_reference(int lignes) {
  return joint(std::vector<std::string>(reference().begin(), reference().begin() + lignes));
}

retouche R(int ligne, const std::string& texte) { return {retouche::remplace, ligne, texte}; }
retouche I(int ligne, const std::string& texte) { return {retouche::insere, ligne, texte}; }
retouche S(int ligne) { return {retouche::supprime, ligne, ""}; }

std::string joint(const std::vector<std::string>& lignes) {
  std::string r;
  for (const std::string& l : lignes) r += l + "\n";
  return r;
}

std::string reference_avec(const std::vector<retouche>& retouches) {
  std::vector<std::string> lignes = reference();
  for (const retouche& r : retouches) {
    const auto place = lignes.begin() + (r.ligne - 1);
    switch (r.sorte) {
      case retouche::remplace:
        *place = r.texte;
        break;
      case retouche::insere:
        lignes.insert(place, r.texte);
        break;
      case retouche::supprime:
        lignes.erase(place);
        break;
    }
  }
  return joint(lignes);
}

void verifie_cas(const std::vector<cas_verification>& cas) {
  for (const cas_verification& c : cas) {
    SCOPED_TRACE(c.nom);
    const resultat_verification r = verifie(reference_avec(c.retouches));
    EXPECT_EQ(r.constats, c.attendus);
  }
}

void verifie_regles(const std::vector<cas_regle>& cas) {
  for (const cas_regle& c : cas) {
    SCOPED_TRACE(c.ligne);
    std::vector<constat> attendus;
    for (const auto& [type, message] : c.constats) attendus.push_back({type, 52, message});
    EXPECT_EQ(verifie(reference_avec({I(52, c.ligne)})).constats, attendus);
  }
}
