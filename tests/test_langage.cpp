// Completion on a rule line, place by place: which list the place calls for
// (donnees/completion.txt), each list whole in donnees/propositions.txt.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "actions.hpp"
#include "aide.hpp"
#include "chaines.hpp"
#include "langage.hpp"
#include "plan.hpp"
#include "renvois.hpp"

namespace {

// A climate file opened as an editor holds it (UTF-8), analysed.
void ouvre(document_ouvert& d, const std::string& texte) {
  d.climat = true;
  d.remplace_tout(texte);
  d.analyse();
}

std::vector<std::string> table() {
  std::vector<std::string> r;
  for (const std::string& ligne : decoupe(source("tests/donnees/completion.txt"), '\n'))
    if (!ligne.empty() && ligne[0] != '#') r.push_back(deplie(ligne));
  return r;
}

class Completion : public testing::TestWithParam<std::string> {};

TEST_P(Completion, Place) {
  // The sample, as an editor holds it (UTF-8), with the text on a line of
  // its own before the "<" that ends the causes, or in the place of line N.
  std::vector<std::string> lignes = decoupe(en_utf8(source("exemples/climat.txt")), '\n');
  std::size_t ici = 0;
  std::string texte = GetParam();
  const bool a_la_place = texte.starts_with("@");  // "@N text": in the place of line N
  if (a_la_place) {
    ici = std::stoul(texte.substr(1)) - 1;
    texte.erase(0, texte.find(' ') + 1);
  }
  // A "|" marks the cursor; without one, it is at the text's end.
  const std::size_t curseur = std::min(texte.find('|'), texte.size());
  if (curseur < texte.size()) texte.erase(curseur, 1);
  if (a_la_place) {
    lignes[ici] = texte;
  } else {
    while (lignes[ici] != ">Causes des pr\xC3\xA9" "cipitations:") ++ici;
    while (lignes[ici] != "<") ++ici;
    lignes.insert(lignes.begin() + static_cast<std::ptrdiff_t>(ici), texte);
  }
  std::string tout;
  for (const std::string& l : lignes) tout += l + "\n";
  document_ouvert d;
  ouvre(d, tout);

  // Every proposal whole: what the list shows, what replaces which columns,
  // its order and kind, and its documentation indented under it.
  std::string obtenu;
  for (const proposition& p : propositions(d, {static_cast<int>(ici), static_cast<int>(curseur)})) {
    EXPECT_EQ(p.debut.ligne, static_cast<int>(ici));
    EXPECT_EQ(p.fin.ligne, static_cast<int>(ici));
    obtenu += p.etiquette + " | " + p.detail + " | " + p.texte + " | " + p.tri + " | " + (p.valeur ? "valeur" : "mot") + " | " +
              std::to_string(p.debut.caractere) + "-" + std::to_string(p.fin.caractere) + "\n";
    for (const std::string& l : decoupe(p.documentation + "\n", '\n')) obtenu += "    " + l + "\n";
  }
  if (!obtenu.empty()) obtenu.pop_back();  // the data file's sections end without their last line feed
  EXPECT_EQ(obtenu, attendu("propositions.txt", "\xC2\xAB" + GetParam() + "\xC2\xBB")) << texte;
  // Past the last line, nothing.
  EXPECT_TRUE(propositions(d, {static_cast<int>(d.nombre_de_lignes()), 0}).empty());
}

INSTANTIATE_TEST_SUITE_P(Table, Completion, testing::ValuesIn(table()));

// The published findings of a cascade with the editor's own findings mixed
// in (a character Latin-1 lacks, before and inside it), in file order: each
// consequence points at its root's place in the published list, the root
// counts them and shows its slip, the blank line.
TEST(Causes, PlacesDansLaListePubliee) {
  std::string texte = en_utf8(source("exemples/cascade_ligne_blanche.txt"));
  for (const std::string avant : {"Longitude=", "5=d2{4,5}/"}) texte.insert(texte.find(avant) + avant.size() - 1, "\xE2\x82\xAC");
  document_ouvert d;
  ouvre(d, texte);
  std::size_t racine = d.trouvailles.size();
  int suites = 0;
  for (std::size_t k = 0; k < d.trouvailles.size(); ++k) {
    const trouvaille& t = d.trouvailles[k];
    if (t.suites > 0) racine = k;
    if (t.cause >= 0) {
      ++suites;
      EXPECT_EQ(static_cast<std::size_t>(t.cause), racine) << k;
    }
  }
  ASSERT_LT(racine, d.trouvailles.size());
  EXPECT_TRUE(std::is_sorted(d.trouvailles.begin(), d.trouvailles.end(),
                             [](const trouvaille& a, const trouvaille& b) { return a.debut.ligne < b.debut.ligne; }));
  EXPECT_EQ(d.trouvailles[racine].suites, suites);
  EXPECT_EQ(suites, 15);
  EXPECT_EQ(d.trouvailles[racine].origine.ligne, 51);
  EXPECT_EQ(d.trouvailles[racine].debut.ligne, 55);
}

// Everything an editor is shown of a file, transcribed: the outline and its
// folds, at every line's start and every number the hover, the entry it names
// and its uses, then the hints, the lenses and the fixes. Compared whole with
// donnees/transcriptions/NAME (TRANSCRIPTIONS_REECRITES=1 writes them anew,
// to be read before they are committed).
std::string place(position_lsp p) { return std::to_string(p.ligne) + ":" + std::to_string(p.caractere); }
std::string etendue(position_lsp a, position_lsp b) { return place(a) + "-" + place(b); }
std::string en_retrait(std::string texte) {
  for (std::size_t i = 0; (i = texte.find('\n', i)) != std::string::npos; ++i)
    if (i + 1 < texte.size() && texte[i + 1] != '\n') texte.insert(i + 1, "    ");
  return texte;
}

void transcrit_plan(std::string& t, const std::vector<element_du_plan>& plan, const std::string& retrait) {
  for (const element_du_plan& e : plan) {
    t += retrait + e.nom + " | " + e.detail + (e.entree ? " | entrée | " : " | partie | ") + etendue(e.debut, e.fin) + " | " +
         etendue(e.selection_debut, e.selection_fin) + "\n";
    transcrit_plan(t, e.enfants, retrait + "  ");
  }
}

std::string liste(const std::vector<lien_place>& liens) {
  std::string r;
  for (const lien_place& l : liens) r += std::string(l.l.definition ? " =" : " ") + std::to_string(l.l.numero) + "@" + etendue(l.debut, l.fin);
  return r;
}

class Transcription : public testing::TestWithParam<std::string> {};

TEST_P(Transcription, ToutCeQueVoitUnEditeur) {
  document_ouvert d;
  ouvre(d, en_utf8(source(GetParam())));
  std::string t = "== plan\n";
  transcrit_plan(t, plan(d), "");
  t += "== plis\n";
  for (const pli& p : plis(d)) t += std::to_string(p.debut) + "-" + std::to_string(p.fin) + "\n";
  for (std::size_t l = 0; l < d.nombre_de_lignes(); ++l) {
    const std::string_view ligne = d.ligne(l);
    std::string vu;
    for (std::size_t c = 0; c <= ligne.size(); ++c) {
      const bool nombre = c < ligne.size() && ligne[c] >= '0' && ligne[c] <= '9' && (c == 0 || ligne[c - 1] < '0' || ligne[c - 1] > '9');
      if (c > 0 && !nombre) continue;
      const position_lsp p{static_cast<int>(l), static_cast<int>(c)};
      const survol s = survole(d, p);
      std::string ici;
      if (!s.markdown.empty() && s.markdown != vu) ici += "survol " + etendue(s.debut, s.fin) + "\n    " + en_retrait(s.markdown) + "\n";
      vu = s.markdown;
      const std::string defs = liste(definitions(d, p)), refs = liste(references(d, p, false));
      if (!defs.empty() || !refs.empty()) ici += "définitions" + defs + " | usages" + refs + "\n";
      if (!ici.empty()) t += "-- " + place(p) + "\n" + ici;
    }
  }
  t += "== indications\n";
  for (const indication& i : indications(d, 0, static_cast<int>(d.nombre_de_lignes()))) t += place(i.ou) + " " + i.texte + "\n";
  t += "== lentilles\n";
  for (const lentille& l : lentilles(d)) t += etendue(l.debut, l.fin) + " " + l.titre + "\n";
  t += "== corrections\n";
  for (const action_code& a : actions(d, 0, static_cast<long long>(d.nombre_de_lignes()), true, true, {})) {
    t += a.titre + (a.tout ? " (toutes)" : "") + (a.desactivee.empty() ? "" : " [" + a.desactivee + "]") + "\n";
    for (const modification_lsp& m : a.modifications) t += "  " + etendue(m.debut, m.fin) + " « " + en_retrait(m.texte) + " »\n";
  }
  // Where the guide is installed is the build's choice, not the file's.
  const std::string guide = adresse_du_code(101).substr(0, adresse_du_code(101).find('#'));
  for (std::size_t i; (i = t.find(guide)) != std::string::npos;) t.replace(i, guide.size(), "@guide@");

  const std::string nom = "tests/donnees/transcriptions/" + std::filesystem::path(GetParam()).stem().string() + ".txt";
  if (std::getenv("TRANSCRIPTIONS_REECRITES") != nullptr) ecrit_fichier(std::string(DOSSIER_SOURCES) + "/" + nom, t);
  EXPECT_EQ(t, source(nom));
}

INSTANTIATE_TEST_SUITE_P(Fichiers, Transcription,
                         testing::Values("exemples/climat.txt", "exemples/climat_avec_erreurs.txt", "exemples/cascade_oublis.txt",
                                         "exemples/cascade_numerotation.txt", "exemples/nombres_a_virgule.txt",
                                         "tests/donnees/saisons.txt", "tests/donnees/horloge.txt", "tests/donnees/listes.txt",
                                         "tests/donnees/entete.txt", "tests/donnees/lignes_longues.txt",
                                         "tests/donnees/causes.txt"),
                         [](const testing::TestParamInfo<std::string>& i) {
                           return std::filesystem::path(i.param).stem().string();
                         });

// Each card of the guide, as the page and the hover take it: from its
// heading's line to the next heading, a climate line of an example
// ("#Horloge vague:") being none.
TEST(Guide, CartesEntieres) {
  const std::vector<std::string> lignes = decoupe(source("docs/guide-climat.md") + "\n", '\n');
  int cartes = 0;
  for (std::size_t i = 0; i < lignes.size(); ++i) {
    if (!lignes[i].starts_with("#### CL")) continue;
    std::size_t fin = i + 1;
    while (fin < lignes.size() && !lignes[fin].starts_with("# ") && !lignes[fin].starts_with("##")) ++fin;
    std::string carte;
    for (std::size_t k = i + 1; k < fin; ++k) carte += lignes[k] + "\n";
    while (!carte.empty() && carte.front() == '\n') carte.erase(0, 1);
    while (!carte.empty() && carte.back() == '\n') carte.pop_back();
    EXPECT_EQ(section_du_guide(std::stoi(lignes[i].substr(7))), carte) << lignes[i];
    ++cartes;
  }
  EXPECT_EQ(cartes, 81);
}

// A file: URI as the path it names; any other URI names none.
TEST(Document, CheminDuFichier) {
  const struct {
    const char* uri;
    const char* chemin;
  } cas[] = {
      {"file:///a/climat%20d%27%C3%A9t%C3%A9.txt", "/a/climat d'\xC3\xA9t\xC3\xA9.txt"},
      {"file://localhost/x", "/x"},
      {"file:///%4a%4A%af%Fa", "/JJ\xAF\xFA"},
      {"file:///%G1%1G%g1%%41", "/%G1%1G%g1%A"},
      {"file:///%30%39%6f%6F%2f%3a%60%7b", "/09oo/:`{"},
      {"file:///%/1%:1%`1%{1%@1", "/%/1%:1%`1%{1%@1"},
      {"file:///x%4", "/x%4"},
      {"file:///x%", "/x%"},
      {"file:///a%00b", ""},
      {"file://autre/x", ""},
      {"file://localhostx", ""},
      {"file:x", ""},
      {"http:///x", ""},
      {"file://", ""},
  };
  for (const auto& c : cas) EXPECT_EQ(chemin_du_fichier(c.uri), c.chemin) << c.uri;
}

// How a file is saved, from its bytes: UTF-8 when at least one character
// takes two bytes or more and all are valid, CR LF when every line ends so.
TEST(Document, Enregistrement) {
  const struct {
    std::string octets;
    bool utf8;
    bool crlf;
  } cas[] = {
      {"a\r\nb\r\n", false, true},          {"a\r\n\r\n\r\nb\r\n", false, true}, {"a\r\nb\n", false, false},
      {"a\r\nb", false, true},              {"", false, false},                 {"\r", false, false},
      {"\xC3\xA9t\xC3\xA9\n", true, false}, {"\xC3\xBF", true, false},          {"\xC2\x80\r\n", true, true},
      {"\xE9t\xE9\n", false, false},        {"ascii\n", false, false},          {std::string("\xC3\xA9\0\r\n", 5), false, false},
  };
  const std::string chemin = dossier_temporaire() + "/climat.txt";
  for (const auto& c : cas) {
    ecrit_fichier(chemin, c.octets);
    const sur_le_disque s = enregistrement(chemin);
    EXPECT_EQ(s.utf8, c.utf8) << testing::PrintToString(c.octets);
    EXPECT_EQ(s.crlf, c.crlf) << testing::PrintToString(c.octets);
  }
  EXPECT_FALSE(enregistrement(dossier_temporaire()).crlf);
}

// An entry used by more lines than an editor can list: the first 5000
// places, in file order.
TEST(Renvois, CinqMillePlacesAuPlus) {
  document_ouvert d;
  ouvre(d, en_utf8(reference_avec(std::vector<retouche>(5000, {'I', 52, "5=6/\\1."}))));
  const std::vector<lien_place> usages = references(d, {29, 0}, false);  // "6:t-2:f5:Grêle"
  ASSERT_EQ(usages.size(), 5000U);
  // Three uses come before the lines added: "/\6", "6%100" and a rule of 6.
  EXPECT_EQ(usages.front().debut.ligne, 46);
  EXPECT_EQ(usages.back().debut.ligne, 51 + 4996);
}

// Hints after numbers, over as many lines: the first 5000 of them.
TEST(Renvois, CinqMilleIndicationsAuPlus) {
  document_ouvert d;
  ouvre(d, en_utf8(reference_avec(std::vector<retouche>(2000, {'I', 52, "5=6/\\1."}))));
  const std::vector<indication> vues = indications(d, 0, static_cast<int>(d.nombre_de_lignes()));
  ASSERT_EQ(vues.size(), INDICATIONS_MAX);
  EXPECT_LT(vues.back().ou.ligne, 51 + 2000);
}

// Seventy rules without their final point, each a fix of its own: an editor
// is offered the first 64, in file order.
TEST(Actions, SoixanteQuatreCorrectionsAuPlus) {
  document_ouvert d;
  ouvre(d, en_utf8(reference_avec(std::vector<retouche>(70, {'I', 52, "5=6/\\1"}))));
  const std::vector<action_code> offertes = actions(d, 0, static_cast<long long>(d.nombre_de_lignes()), true, false, {});
  ASSERT_EQ(offertes.size(), 64U);
  EXPECT_EQ(offertes.front().modifications.at(0).debut.ligne, 51);
  EXPECT_EQ(offertes.back().modifications.at(0).debut.ligne, 51 + 63);
}

// A list longer than completion proposes: the first 1000 entries, after a
// rule's "[t" among 1006 temperatures.
TEST(Propositions, MilleEntreesAuPlus) {
  std::vector<retouche> r = {{'I', 52, "2=[t"}};
  for (int k = 1006; k >= 6; --k) r.push_back({'I', 15, std::to_string(k) + ":f1:T"});
  document_ouvert d;
  ouvre(d, en_utf8(reference_avec(r)));
  const std::vector<proposition> p = propositions(d, {52 + 1000, 4});
  ASSERT_EQ(p.size(), 1000U);
  EXPECT_EQ(p.front().texte, "t1");
  EXPECT_EQ(p.back().texte, "t1000");
}

// A line of 25 findings: its hover shows 20, then how many more.
TEST(Survol, VingtConstatsAuPlus) {
  std::string valeurs = "99";
  for (int k = 1; k < 25; ++k) valeurs += ",99";
  document_ouvert d;
  ouvre(d, en_utf8(reference_avec({{'I', 52, "1=" + valeurs + "/\\3."}})));
  const std::string texte = survole(d, {51, 0}).markdown;
  EXPECT_EQ(compte(texte, "**CL"), 20U);
  EXPECT_EQ(texte.substr(texte.rfind("\n---\n")).find("**CL"), std::string::npos);  // last, how many more
}

}  // namespace
