// The page's side of the checker, compiled to WebAssembly: the editor's text
// goes in (UTF-8, as the page holds it), and the findings, the sure fixes,
// the hover, the proposals, what the text holds and the guide's sections
// come out, in JSON, UTF-8. The same pass, fixes and texts as verifie_climat and the
// language server; the page holds one document at a time.
#include <emscripten/emscripten.h>

#include <climits>
#include <string>
#include <vector>

#include "chaines.hpp"
#include "corrections.hpp"
#include "dessin.hpp"
#include "diff_unifie.hpp"
#include "ecrit_json.hpp"
#include "modele_json.hpp"
#include "document.hpp"
#include "langage.hpp"
#include "plan.hpp"

namespace {

// The findings the page lists; the rest are counted.
constexpr std::size_t CONSTATS_MAX = 1000;
// The fixes offered one by one.
constexpr std::size_t CORRECTIONS_MAX = 200;

document_ouvert document;
std::string reponse;  // what the last call returns, kept until the next one

// Every answer is JSON, whose text holds no NUL byte: a text the page reads
// up to its first NUL would lose what follows one.
const char* rend(std::string json) {
  reponse = std::move(json);
  return reponse.c_str();
}
// A text as a JSON string.
const char* rend_texte(std::string_view texte) {
  std::string sortie;
  ecrit_json(sortie, ecrit_json::forme::compacte).chaine(texte);
  return rend(std::move(sortie));
}

void position(ecrit_json& j, const char* nom, position_lsp p) {
  j.cle(nom).tableau().entier(p.ligne).entier(p.caractere).fin_tableau();
}

// The text as the file's bytes, or nothing when a character Latin-1 lacks
// would be written "?": a fix there would change it.
bool en_latin1(std::string& octets) {
  std::vector<std::size_t> hors;
  octets = document.octets_latin1(hors);
  return hors.empty();
}

}  // namespace

extern "C" {

// Checks a new text. {"erreurs", "avertissements", "non_montres",
// "constats": [{"ligne", "colonne" (verifie_climat's, from 1), "code",
// "gravite", "message", "debut", "fin" ([line, UTF-16 unit] from 0), and
// "cause" (the index of its root in this list) for a finding that follows
// from another, "suites" (how many follow from it) and "origine" (where
// its slip lies, [line, UTF-16 unit]) for a root}]}.
// The text comes with its length: a NUL it holds is a character of it.
// Without `causes`, no finding names a cause (the page asks for them later,
// from its worker, on a long text).
EMSCRIPTEN_KEEPALIVE const char* climat_analyse(const char* texte, int taille, int causes) {
  document.plafond = CONSTATS_MAX;
  document.avec_causes = causes != 0;
  document.climat = true;
  document.remplace_tout(std::string(texte, static_cast<std::size_t>(taille)));
  document.analyse();
  std::string sortie;
  ecrit_json j(sortie, ecrit_json::forme::compacte);
  int erreurs = document.totaux.erreurs;
  for (const trouvaille& t : document.trouvailles)
    if (t.ligne_fichier == 0 && t.type == ERREUR) ++erreurs;  // characters Latin-1 lacks
  j.objet().cle("erreurs").entier(erreurs).cle("avertissements").entier(document.totaux.avertissements);
  j.cle("non_montres").entier(static_cast<long long>(document.non_montrees)).cle("constats").tableau();
  for (const trouvaille& t : document.trouvailles) {
    j.objet().cle("ligne").entier(t.ligne_fichier > 0 ? t.ligne_fichier : t.debut.ligne + 1);
    j.cle("colonne").entier(t.ligne_fichier > 0 ? t.colonne_fichier : t.debut.caractere + 1);
    j.cle("code").chaine(nom_du_code(t.code)).cle("gravite").chaine(t.type == ERREUR ? "erreur" : "avertissement");
    j.cle("message").chaine(t.message);
    position(j, "debut", t.debut);
    position(j, "fin", t.fin);
    if (t.cause >= 0) j.cle("cause").entier(t.cause);
    if (t.suites > 0) j.cle("suites").entier(t.suites);
    if (t.origine.ligne >= 0) position(j, "origine", t.origine);
    j.fin_objet();
  }
  j.fin_tableau().fin_objet();
  return rend(std::move(sortie));
}

// The sure fixes of the text last checked, each confirmed by the pass:
// [{"titre", "code", "ligne", "debut", "fin", "texte"}], "ligne" as
// verifie_climat counts, the edit on the editor's positions.
EMSCRIPTEN_KEEPALIVE const char* climat_corrections() {
  std::string octets;
  std::string sortie;
  ecrit_json j(sortie, ecrit_json::forme::compacte);
  j.tableau();
  if (en_latin1(octets))
    for (const correction& c : corrections_sures(octets, CORRECTIONS_MAX)) {
      j.objet().cle("titre").chaine(en_utf8(c.titre)).cle("code").chaine(nom_du_code(c.code));
      j.cle("ligne").entier(c.ligne);
      position(j, "debut", document.position_du_caractere(c.debut));
      position(j, "fin", document.position_du_caractere(c.fin));
      j.cle("texte").chaine(en_utf8(c.texte)).fin_objet();
    }
  j.fin_tableau();
  return rend(std::move(sortie));
}

// The text with every sure fix applied, as verifie_climat --corrige writes
// it: {"texte", "corrections" (how many), "diff" (the changes, a unified
// diff without its two lines of names)}; "texte" is "" when there is no
// fix, or when a character Latin-1 lacks is there.
EMSCRIPTEN_KEEPALIVE const char* climat_tout_corriger() {
  std::string octets;
  std::vector<correction> faites;
  const std::string corrige_ = en_latin1(octets) ? corrige(octets, false, &faites) : octets;
  std::string diff = corrige_ == octets ? std::string() : en_utf8(diff_unifie(octets, corrige_, "climat"));
  for (int noms = 0; noms < 2 && !diff.empty(); ++noms) diff.erase(0, diff.find('\n') + 1);
  std::string sortie;
  ecrit_json(sortie, ecrit_json::forme::compacte)
      .objet()
      .cle("texte")
      .chaine(corrige_ == octets ? std::string() : en_utf8(corrige_))
      .cle("corrections")
      .entier(static_cast<long long>(faites.size()))
      .cle("diff")
      .chaine(diff)
      .fin_objet();
  return rend(std::move(sortie));
}

// The hover's Markdown, as a JSON string.
EMSCRIPTEN_KEEPALIVE const char* climat_survol(int ligne, int caractere) {
  return rend_texte(survole(document, {ligne, caractere}).markdown);
}

// [{"etiquette", "detail", "texte", "debut", "fin"}]
EMSCRIPTEN_KEEPALIVE const char* climat_propositions(int ligne, int caractere) {
  std::string sortie;
  ecrit_json j(sortie, ecrit_json::forme::compacte);
  j.tableau();
  for (const proposition& p : propositions(document, {ligne, caractere})) {
    j.objet().cle("etiquette").chaine(p.etiquette).cle("detail").chaine(p.detail).cle("texte").chaine(p.texte);
    j.cle("tri").chaine(p.tri);
    position(j, "debut", p.debut);
    position(j, "fin", p.fin);
    j.fin_objet();
  }
  j.fin_tableau();
  return rend(std::move(sortie));
}

// What the text last checked holds, as verifie_climat --format=climat
// writes it for one file: {"entete", "temperatures", ...}.
EMSCRIPTEN_KEEPALIVE const char* climat_modele() {
  std::string sortie;
  ecrit_json j(sortie, ecrit_json::forme::compacte);
  j.objet();
  ecrit_modele(j, document.modele());
  j.fin_objet();
  return rend(std::move(sortie));
}

// The climate the text last checked describes, drawn (see dessin.hpp), as a
// JSON string: {"html", "style"}.
EMSCRIPTEN_KEEPALIVE const char* climat_dessin() {
  std::string sortie;
  ecrit_json(sortie, ecrit_json::forme::compacte).objet().cle("html").chaine(dessin_html(document.modele(), true)).cle("style").chaine(STYLE_DU_DESSIN).fin_objet();
  return rend(std::move(sortie));
}

// The same drawing as a page to print, for the file `nom` (UTF-8), as
// verifie_climat --format=fiche writes it, as a JSON string.
EMSCRIPTEN_KEEPALIVE const char* climat_fiche(const char* nom, int taille) {
  return rend_texte(fiche_html(document.modele(), std::string_view(nom, static_cast<std::size_t>(taille)), document.totaux.erreurs));
}

// The parts of the text last checked, for the page's outline:
// [{"nom", "detail", "ligne" (from 0)}].
EMSCRIPTEN_KEEPALIVE const char* climat_plan() {
  std::string sortie;
  ecrit_json j(sortie, ecrit_json::forme::compacte);
  j.tableau();
  for (const element_du_plan& e : plan(document))
    j.objet().cle("nom").chaine(e.nom).cle("detail").chaine(e.detail).cle("ligne").entier(e.selection_debut.ligne).fin_objet();
  j.fin_tableau();
  return rend(std::move(sortie));
}

// The guide's section on a code ("CL101" gives 101), as a JSON string.
EMSCRIPTEN_KEEPALIVE const char* climat_section(int code) { return rend_texte(section_du_guide(code)); }

}  // extern "C"
