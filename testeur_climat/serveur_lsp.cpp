#include "testeur_climat/serveur_lsp.hpp"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <nlohmann/json.hpp>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <string_view>
#include <utility>
#include <vector>

#include "console/texte.hpp"
#include "testeur_climat/corrections.hpp"
#include "testeur_climat/diff_unifie.hpp"
#include "testeur_climat/ecrit_json.hpp"
#include "testeur_climat/editeurs.hpp"
#include "testeur_climat/lsp_document.hpp"
#include "testeur_climat/lsp_langage.hpp"
#include "testeur_climat/lsp_protocole.hpp"

using json = nlohmann::json;

namespace {

// The entries an outline lists, the first in file order: about 150 bytes
// each, the answer stays well under a mebibyte.
constexpr std::size_t ENTREES_MAX = 2000;

// The largest edit an action sends: its answer stays under a mebibyte.
constexpr std::size_t ENVOI_MAX = std::size_t{900} << 10;

// No message of the protocol nests deeper; a deeper one is refused before it
// is parsed, so that nothing walks it recursively.
constexpr int PROFONDEUR_MAX = 64;
// Where the href of a code points: its section of the installed guide,
// whose anchor is the code in lower case.
std::string adresse_du_code(int code) {
  return std::string("file://") + GUIDE_CLIMAT_CHEMIN + "#cl" + nom_du_code(code).substr(2);
}

// Whether a JSON text nests arrays and objects deeper than PROFONDEUR_MAX
// (brackets inside strings do not count).
bool trop_profond(std::string_view corps) {
  int profondeur = 0;
  bool chaine = false;
  for (std::size_t i = 0; i < corps.size(); ++i) {
    const char c = corps[i];
    if (chaine) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        chaine = false;
    } else if (c == '"') {
      chaine = true;
    } else if (c == '[' || c == '{') {
      if (++profondeur > PROFONDEUR_MAX) return true;
    } else if (c == ']' || c == '}') {
      --profondeur;
    }
  }
  return false;
}

json position(int ligne, int colonne) { return {{"line", ligne}, {"character", colonne}}; }
json position_json(position_lsp p) { return position(p.ligne, p.caractere); }

// A line or a character of a position: an integer, or a number held within
// the bounds of one (a fraction from a careless client, 1e300, NaN); any
// other value is a client's mistake, answered as such.
long long entier(const json& v) {
  if (!v.is_number_float()) return v.get<long long>();
  const double d = v.get<double>();
  return d != d ? 0 : static_cast<long long>(std::clamp(d, -1e15, 1e15));
}

// Parameters the protocol does not allow, found before anything changed.
struct refus_de_parametres {};

// A document's version: an integer, or the one it had when none is given.
std::int64_t version_de(const json& document, std::int64_t avant) {
  const auto v = document.find("version");
  if (v == document.end()) return avant;
  if (!v->is_number_integer()) throw refus_de_parametres{};
  return v->get<std::int64_t>();
}

}  // namespace

// One message of the client, with the means to answer it.
struct requete {
  serveur_lsp& serveur;
  const json& id;
  bool attend_reponse;
  mutable bool repondu = false;

  void envoie(const json& message) const {
    repondu = repondu || message.contains("id");
    const std::string corps = message.dump(-1, ' ', false, json::error_handler_t::replace);
    serveur.envoie(cadre(corps));
  }
  void repond(json resultat) const {
    if (attend_reponse) envoie({{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(resultat)}});
  }
  void refuse(int code, const char* message_latin1) const {
    if (attend_reponse) envoie(erreur(id, code, message_latin1));
  }
  // Parameters that are not the protocol's: a request is answered so; a
  // notification, which has no answer, is said in the client's log.
  void parametres_refuses() const {
    constexpr const char* texte = "Les paramètres de la requête ne sont pas ceux qu'attend le protocole."_l1;
    if (attend_reponse) return refuse(PARAMETRES_INVALIDES, texte);
    envoie({{"jsonrpc", "2.0"},
            {"method", "window/logMessage"},
            {"params", {{"type", JOURNAL_ERREUR}, {"message", en_utf8("Notification ignorée : "_l1) + en_utf8(texte)}}}});
  }
  static json erreur(const json& id, int code, const char* message_latin1) {
    return {{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", en_utf8(message_latin1)}}}};
  }
  static void envoie_erreur(serveur_lsp& s, const json& id, int code, const char* message_latin1) {
    requete{s, id, true, false}.envoie(erreur(id, code, message_latin1));
  }

  // The diagnostics are written straight into the message: a document of
  // 100,000 findings would otherwise build a tree of a million JSON values.
  void publie(const std::string& uri, const document_ouvert* d) const {
    std::string corps;
    ecrit_json j(corps, ecrit_json::forme::compacte);
    j.objet().cle("jsonrpc").chaine("2.0").cle("method").chaine("textDocument/publishDiagnostics");
    j.cle("params").objet().cle("uri").chaine(uri);
    if (d != nullptr) j.cle("version").entier(d->version);
    j.cle("diagnostics").tableau();
    const auto etendue = [&](position_lsp debut, position_lsp fin) {
      j.cle("range").objet();
      j.cle("start").objet().cle("line").entier(debut.ligne).cle("character").entier(debut.caractere).fin_objet();
      j.cle("end").objet().cle("line").entier(fin.ligne).cle("character").entier(fin.caractere).fin_objet();
      j.fin_objet();
    };
    const auto ecrit = [&](const trouvaille& t) {
      j.objet();
      etendue(t.debut, t.fin);
      j.cle("severity").entier(t.type).cle("code").chaine(nom_du_code(t.code));
      j.cle("codeDescription").objet().cle("href").chaine(adresse_du_code(t.code)).fin_objet();
      j.cle("source").chaine("verifie_climat").cle("message").chaine(t.message);
      if (t.lien.ligne >= 0 && !t.message_lien.empty()) {
        j.cle("relatedInformation").tableau().objet().cle("location").objet().cle("uri").chaine(uri);
        etendue(t.lien, {t.lien.ligne, d->longueur(static_cast<std::size_t>(t.lien.ligne))});
        j.fin_objet().cle("message").chaine(t.message_lien).fin_objet().fin_tableau();
      }
      j.fin_objet();
    };
    if (d != nullptr) {
      for (const trouvaille& t : d->trouvailles) ecrit(t);
      if (d->non_montrees > 0) {
        char message[200];
        std::snprintf(message, sizeof message,
                      "%d autres constats ne sont pas montrés, pour que l'éditeur reste rapide : verifie_climat les donne tous."_l1,
                      static_cast<int>(std::min<std::size_t>(d->non_montrees, INT_MAX)));
        const int ligne = d->trouvailles.empty() ? 0 : d->trouvailles.back().debut.ligne;
        ecrit({{ligne, 0}, {ligne, 0}, INFORMATION, 803, en_utf8(message), {-1, 0}, {}});
      }
    }
    j.fin_tableau().fin_objet().fin_objet();
    serveur.envoie(cadre(corps));
  }

  document_ouvert* document(const json& parametres) const {
    const auto trouve = serveur.documents.find(parametres.at("textDocument").at("uri").get<std::string>());
    return trouve == serveur.documents.end() ? nullptr : trouve->second.get();
  }

  // The editor's text is moved out of the message, never copied.
  void ouvre(json& p) const {
    json& td = p.at("textDocument");
    const auto uri = td.at("uri").get<std::string>();
    std::string& texte = td.at("text").get_ref<std::string&>();
    auto d = std::make_unique<document_ouvert>();
    d->version = version_de(td, 0);
    d->climat = td.value("languageId", std::string()) == "climat";
    d->remplace_tout(std::move(texte));
    d->chemin = chemin_du_fichier(uri);
    const sur_le_disque disque = enregistrement(d->chemin);
    d->utf8_sur_disque = disque.utf8;
    d->crlf_sur_disque = disque.crlf;
    d->analyse();
    publie(uri, d.get());
    serveur.documents[uri] = std::move(d);
  }

  // Every change is read and checked before the first is applied: a
  // notification that cannot be applied whole changes nothing. The positions
  // of a change are on the text the one before it left.
  void change(json& p) const {
    document_ouvert* d = document(p);
    if (d == nullptr) return;
    const std::int64_t version = version_de(p.at("textDocument"), d->version);
    json& changements = p.at("contentChanges");
    if (!changements.is_array()) throw refus_de_parametres{};
    std::vector<document_ouvert::changement> modifications;
    for (json& c : changements) {
      document_ouvert::changement m{c.contains("range"), 0, 0, 0, 0, c.at("text").get_ref<const std::string&>()};
      if (m.partiel) {
        const json& r = c.at("range");
        m.ligne_debut = entier(r.at("start").at("line"));
        m.caractere_debut = entier(r.at("start").at("character"));
        m.ligne_fin = entier(r.at("end").at("line"));
        m.caractere_fin = entier(r.at("end").at("character"));
      }
      modifications.push_back(m);
    }
    d->change(modifications);
    d->version = version;
    // Analysed once the changes already received have all been applied.
    d->a_publier = true;
    serveur.changements_en_attente = true;
  }

  void enregistre(json& p) const {
    document_ouvert* d = document(p);
    if (d == nullptr) return;
    const sur_le_disque disque = enregistrement(d->chemin);
    d->utf8_sur_disque = disque.utf8;
    d->crlf_sur_disque = disque.crlf;
    d->analyse();
    publie(p.at("textDocument").at("uri").get<std::string>(), d);
  }

  void ferme(json& p) const {
    const auto uri = p.at("textDocument").at("uri").get<std::string>();
    if (serveur.documents.erase(uri) == 0) return;
    publie(uri, nullptr);
#ifdef __GLIBC__
    malloc_trim(0);  // a large document's memory goes back to the system
#endif
  }

  // A position of the request, within the bounds of an int.
  static position_lsp position_de(const json& p) {
    const json& x = p.at("position");
    const auto borne = [](long long v) { return static_cast<int>(std::clamp<long long>(v, -1, INT_MAX)); };
    return {borne(entier(x.at("line"))), borne(entier(x.at("character")))};
  }
  static json etendue(position_lsp debut, position_lsp fin) {
    return {{"start", position_json(debut)}, {"end", position_json(fin)}};
  }
  json emplacements(const std::string& uri, const std::vector<lien_place>& liens) const {
    json liste = json::array();
    for (const lien_place& n : liens) liste.push_back({{"uri", uri}, {"range", etendue(n.debut, n.fin)}});
    return liste;
  }

  void survol(json& p) const {
    const document_ouvert* d = document(p);
    const position_lsp ici = position_de(p);
    if (d == nullptr) return repond(nullptr);
    const ::survol s = survole(*d, ici);
    if (s.markdown.empty()) return repond(nullptr);
    repond({{"contents", {{"kind", "markdown"}, {"value", s.markdown}}}, {"range", etendue(s.debut, s.fin)}});
  }

  // From a number to the entry it names; from an entry to its uses.
  void definition(json& p) const {
    const document_ouvert* d = document(p);
    const position_lsp ici = position_de(p);
    if (d == nullptr) return repond(nullptr);
    repond(emplacements(p.at("textDocument").at("uri").get<std::string>(), definitions(*d, ici)));
  }
  void usages(json& p) const {
    const document_ouvert* d = document(p);
    const position_lsp ici = position_de(p);
    const bool avec = p.value("context", json::object()).value("includeDeclaration", false);
    if (d == nullptr) return repond(nullptr);
    repond(emplacements(p.at("textDocument").at("uri").get<std::string>(), references(*d, ici, avec)));
  }

  void completion(json& p) const {
    const document_ouvert* d = document(p);
    const position_lsp ici = position_de(p);
    json liste = json::array();
    if (d != nullptr)
      for (const proposition& c : propositions(*d, ici)) {
        json element = {{"label", c.etiquette},
                        {"kind", c.valeur ? COMPLETION_VALEUR : COMPLETION_MOT_CLE},
                        {"detail", c.detail},
                        {"sortText", c.tri},
                        {"textEdit", {{"range", etendue(c.debut, c.fin)}, {"newText", c.texte}}}};
        if (!c.documentation.empty()) element["documentation"] = {{"kind", "markdown"}, {"value", c.documentation}};
        liste.push_back(std::move(element));
      }
    repond({{"isIncomplete", false}, {"items", std::move(liste)}});
  }

  // Where each part runs: from its head to the line before the next one,
  // the last to the end.
  static int fin_de_partie(const document_ouvert& d, std::size_t k) {
    if (k + 1 >= d.symboles.size()) return d.derniere_ligne();
    return std::max(d.symboles[k].ligne, d.symboles[k + 1].ligne - 1);
  }

  // The outline of what was read: each part named by the line taken as its
  // head (with the head expected there when it is another line), and its
  // entries, the lines that begin with a digit, as children: the first
  // ENTREES_MAX of the document, a part with more saying how many it leaves
  // out, so that the answer stays small.
  void symboles(json& p) const {
    const document_ouvert* d = document(p);
    json liste = json::array();
    const auto ligne_entiere = [&](int l) {
      return json{{"start", position(l, 0)}, {"end", position(l, d->longueur(static_cast<std::size_t>(l)))}};
    };
    std::size_t montrees = 0;
    if (d != nullptr)
      for (std::size_t k = 0; k < d->symboles.size(); ++k) {
        const symbole& s = d->symboles[k];
        const int fin = fin_de_partie(*d, k);
        const std::string attendue = en_utf8(nom_du_paragraphe(s.etape));
        std::string lue(d->ligne(static_cast<std::size_t>(s.ligne)));
        json partie = {{"name", attendue}, {"kind", SYMBOLE_ESPACE_DE_NOMS},
                       {"range", {{"start", position(s.ligne, 0)}, {"end", position(fin, d->longueur(static_cast<std::size_t>(fin)))}}},
                       {"selectionRange", ligne_entiere(s.ligne)}};
        std::string detail;
        if (s.etape != etape_passe::entete && lue.find(attendue) == std::string::npos && !lue.empty()) {
          partie["name"] = lue;
          detail = en_utf8("attendu : "_l1) + attendue;
        }
        // A list's probability line is no entry; a season's temperatures
        // are its four lines, whatever begins them.
        const bool une_liste = s.etape == etape_passe::temperatures || s.etape == etape_passe::vents ||
                               s.etape == etape_passe::liste_precipitations;
        const bool quatre = s.etape == etape_passe::temperatures_saison;
        json entrees = json::array();
        std::size_t laissees = 0;
        for (int l = s.ligne + (une_liste ? 2 : 1); s.etape != etape_passe::entete && l <= fin; ++l) {
          const std::string_view texte = d->ligne(static_cast<std::size_t>(l));
          if (texte.empty() || ((texte[0] < '0' || texte[0] > '9') && (!quatre || l > s.ligne + 4))) continue;
          if (montrees++ >= ENTREES_MAX) {
            ++laissees;
            continue;
          }
          entrees.push_back({{"name", std::string(texte)}, {"kind", SYMBOLE_ENTREE}, {"range", ligne_entiere(l)},
                             {"selectionRange", ligne_entiere(l)}});
        }
        if (laissees > 0)
          detail += (detail.empty() ? "" : ", ") + std::to_string(laissees) + en_utf8(" entrées de plus ne sont pas listées"_l1);
        if (!detail.empty()) partie["detail"] = detail;
        if (!entrees.empty()) partie["children"] = std::move(entrees);
        liste.push_back(std::move(partie));
      }
    repond(liste);
  }

  // Each part of the file folds, from its head to its last line.
  void plis(json& p) const {
    const document_ouvert* d = document(p);
    json liste = json::array();
    if (d != nullptr)
      for (std::size_t k = 0; k < d->symboles.size(); ++k)
        if (fin_de_partie(*d, k) > d->symboles[k].ligne)
          liste.push_back({{"startLine", d->symboles[k].ligne}, {"endLine", fin_de_partie(*d, k)}});
    repond(liste);
  }

  void initialise(json&) const {
    serveur.initialise = true;
    repond({{"capabilities",
             {{"positionEncoding", "utf-16"},
              {"textDocumentSync", {{"openClose", true}, {"change", SYNCHRONISATION_INCREMENTALE}, {"save", {{"includeText", false}}}}},
              {"hoverProvider", true},
              {"definitionProvider", true},
              {"referencesProvider", true},
              {"completionProvider", {{"triggerCharacters", DECLENCHEURS}}},
              {"codeActionProvider", {{"codeActionKinds", {"quickfix", "source.fixAll"}}}},
              {"documentSymbolProvider", true},
              {"foldingRangeProvider", true}}},
            {"serverInfo", {{"name", "verifie_climat"}, {"version", VERSION_TESTEUR}}}});
  }

  // The sure fixes of the lines asked (kind "quickfix", each with the
  // diagnostics it removes), and one action for every fix of the document
  // (kind "source.fixAll"). An edit never touches a character that Latin-1
  // lacks: the fix would have replaced it by "?".
  void actions(json& p) const {
    const document_ouvert* d = document(p);
    json liste = json::array();
    if (d == nullptr) return repond(liste);
    const std::string uri = p.at("textDocument").at("uri").get<std::string>();
    const json& contexte = p.at("context");
    const auto seules = contexte.find("only");
    const auto voulue = [&](std::string_view sorte) {
      if (seules == contexte.end()) return true;
      for (const json& o : *seules) {
        const std::string s = o.get<std::string>();
        if (sorte == s || (sorte.size() > s.size() && sorte.substr(0, s.size()) == s && sorte[s.size()] == '.')) return true;
      }
      return false;
    };
    std::vector<std::size_t> hors;
    const std::string octets = d->octets_latin1(hors);
    const auto touche_hors = [&](std::size_t a, std::size_t b) {
      const auto h = std::lower_bound(hors.begin(), hors.end(), a);
      return h != hors.end() && *h < b;
    };
    // Edits of the document's characters (a character is a byte of
    // `octets`), as a workspace edit, all their places found in one walk.
    const auto modification = [&](const std::vector<remplacement>& edits) {
      std::vector<std::size_t> places;
      for (const remplacement& r : edits) places.insert(places.end(), {r.debut, r.fin});
      const std::vector<position_lsp> lieux = d->positions_des_caracteres(places);
      json liste_ = json::array();
      for (std::size_t k = 0; k < edits.size(); ++k)
        liste_.push_back({{"range", etendue(lieux[2 * k], lieux[2 * k + 1])}, {"newText", en_utf8(edits[k].texte)}});
      return json{{"changes", {{uri, std::move(liste_)}}}};
    };
    if (voulue("quickfix")) {
      // The lines asked, as the pass counts them (by line feeds).
      const json& etendue_ = p.at("range");
      const int premiere = d->ligne_de_la_passe(entier(etendue_.at("start").at("line")));
      const int derniere = d->ligne_de_la_passe(entier(etendue_.at("end").at("line")));
      for (const correction& c : corrections_sures(octets, 64, premiere, derniere)) {
        if (touche_hors(c.debut, c.fin)) continue;
        // The diagnostics it removes: its code, where its finding begins
        // (after the end of the text: on the last line).
        std::size_t debut_de_ligne = 0;
        bool apres_la_fin = false;
        for (int n = 1; n < c.ligne && !apres_la_fin; ++n) {
          const std::size_t saut = octets.find('\n', debut_de_ligne);
          apres_la_fin = saut == std::string::npos;
          debut_de_ligne = saut + 1;
        }
        apres_la_fin = apres_la_fin || (c.ligne > 1 && debut_de_ligne >= octets.size());
        const long long ligne = apres_la_fin ? d->derniere_ligne()
                                             : std::min(d->position_du_caractere(debut_de_ligne).ligne, d->derniere_ligne());
        json retires = json::array();
        for (const json& diag : contexte.value("diagnostics", json::array()))
          if (diag.value("code", json()) == nom_du_code(c.code) && entier(diag.at("range").at("start").at("line")) == ligne)
            retires.push_back(diag);
        liste.push_back({{"title", en_utf8(c.titre)},
                         {"kind", "quickfix"},
                         {"diagnostics", retires},
                         {"isPreferred", true},
                         {"edit", modification({{c.debut, c.fin, c.texte}})}});
      }
    }
    if (voulue("source.fixAll")) {
      const std::string& corrige_ = d->tout_corrige(octets);
      // One edit for each run of lines the fixes change. More than an
      // editor should be sent at once: the action says so, and is not made.
      const std::vector<remplacement> edits = remplacements(octets, corrige_);
      std::size_t taille = 0;
      for (const remplacement& r : edits) taille += 100 + r.texte.size();
      const bool latin1 = std::none_of(edits.begin(), edits.end(), [&](const remplacement& r) { return touche_hors(r.debut, r.fin); });
      json action = {{"title", en_utf8("Appliquer toutes les corrections sûres"_l1)}, {"kind", "source.fixAll"}};
      if (taille > ENVOI_MAX)
        action["disabled"] = {{"reason", en_utf8("Trop de corrections pour les envoyer à l'éditeur : verifie_climat --corrige les fait toutes."_l1)}};
      else
        action["edit"] = modification(edits);
      if (!edits.empty() && latin1) liste.push_back(std::move(action));
    }
    repond(liste);
  }

  void arrete(json&) const {
    serveur.arret_demande = true;
    repond(nullptr);
  }

  // Chooses the method's handler, if the server is in a state to run it.
  void execute(std::string_view methode, json& p) const;
};

// The methods the server knows. Every one but "initialize" needs the server
// initialised and not shut down; "exit" is taken before them all.
struct gestionnaire {
  std::string_view methode;
  void (requete::*traite)(json& parametres) const;  // null: nothing to do
};
constexpr gestionnaire GESTIONNAIRES[] = {
    {"initialize", &requete::initialise},
    {"initialized", nullptr},
    {"shutdown", &requete::arrete},
    {"textDocument/didOpen", &requete::ouvre},
    {"textDocument/didChange", &requete::change},
    {"textDocument/didSave", &requete::enregistre},
    {"textDocument/didClose", &requete::ferme},
    {"textDocument/hover", &requete::survol},
    {"textDocument/definition", &requete::definition},
    {"textDocument/references", &requete::usages},
    {"textDocument/completion", &requete::completion},
    {"textDocument/documentSymbol", &requete::symboles},
    {"textDocument/codeAction", &requete::actions},
    {"textDocument/foldingRange", &requete::plis},
};

void requete::execute(std::string_view methode, json& p) const {
  const requete& r = *this;
  if (methode == "exit") {
    r.serveur.fini = true;
    return;
  }
  const auto g = std::find_if(std::begin(GESTIONNAIRES), std::end(GESTIONNAIRES),
                              [&](const gestionnaire& x) { return x.methode == methode; });
  const bool connue = g != std::end(GESTIONNAIRES);
  const bool initialisation = connue && g->methode == "initialize";
  if (!r.serveur.initialise && !initialisation)
    r.refuse(PAS_INITIALISE, "Le serveur attend d'abord la requête initialize."_l1);
  else if (r.serveur.arret_demande)
    r.refuse(REQUETE_INVALIDE, "Le serveur est arrêté (shutdown) : seul exit est attendu."_l1);
  else if (initialisation && r.serveur.initialise)
    r.refuse(REQUETE_INVALIDE, "Le serveur est déjà initialisé."_l1);
  else if (!connue)
    r.refuse(METHODE_INCONNUE, "Méthode inconnue de ce serveur."_l1);  // a notification is passed over
  else if (g->traite != nullptr)
    (r.*(g->traite))(p);
}

bool serveur_lsp::traite(std::string_view corps, std::string* a_liberer) {
  const json nul;
  const auto refuse = [&](const json& id, int code, const char* message_latin1) {
    requete::envoie_erreur(*this, id, code, message_latin1);
    return true;
  };
  if (trop_profond(corps))
    return refuse(nul, REQUETE_INVALIDE, "Le message est imbriqué trop profondément : il est ignoré."_l1);
  json message = json::parse(corps.begin(), corps.end(), nullptr, false);
  if (a_liberer != nullptr) std::string().swap(*a_liberer);
  if (message.is_discarded()) return refuse(nul, ILLISIBLE, "Le message n'est pas du JSON valide."_l1);
  if (!message.is_object()) return refuse(nul, REQUETE_INVALIDE, "Le message n'est pas un objet JSON-RPC."_l1);
  const auto id = message.find("id");
  const bool a_un_id = id != message.end();
  if (a_un_id && !id->is_string() && !id->is_number_integer() && !id->is_null())
    return refuse(nul, REQUETE_INVALIDE, "L'identifiant de la requête n'est ni un nombre entier ni une chaîne."_l1);
  const json& identifiant = a_un_id ? *id : nul;
  const auto methode = message.find("method");
  if (methode == message.end() || !methode->is_string()) {
    // A response to the server (it sends no request) is passed over.
    if (a_un_id && (message.contains("result") || message.contains("error"))) return true;
    return refuse(identifiant, REQUETE_INVALIDE, "Le message n'a pas de méthode."_l1);
  }
  // Changes that follow one another are applied together; anything else
  // first sees them analysed and published.
  const std::string nom = methode->get<std::string>();
  if (nom != "textDocument/didChange") publie_en_attente();
  const requete r{*this, identifiant, a_un_id, false};
  const auto parametres = message.find("params");
  json vide = json::object();
  try {
    r.execute(nom, parametres == message.end() ? vide : *parametres);
  } catch (const json::exception&) {
    r.parametres_refuses();
  } catch (const refus_de_parametres&) {
    r.parametres_refuses();
  }
  // A notification sent as a request still gets its answer.
  if (!r.repondu) r.repond(nullptr);
  return !fini;
}

bool serveur_lsp::recoit(const char* octets, std::size_t taille) {
  const bool suite = entree.recoit(octets, taille);
  // The input holds no other whole message: the changes received are published.
  publie_en_attente();
  return suite;
}

void serveur_lsp::publie_en_attente() {
  if (!changements_en_attente) return;
  changements_en_attente = false;
  const json nul;
  for (auto& [uri, d] : documents)
    if (d->a_publier) {
      d->a_publier = false;
      d->analyse();
      requete{*this, nul, false, false}.publie(uri, d.get());
    }
}

serveur_lsp::serveur_lsp(std::function<void(const std::string&)> sortie)
    : envoie(std::move(sortie)),
      entree([this](std::string_view corps, std::string* a_liberer) { return traite(corps, a_liberer); },
             [this](int code, const char* message) { requete::envoie_erreur(*this, json(), code, message); }) {}
serveur_lsp::~serveur_lsp() = default;
