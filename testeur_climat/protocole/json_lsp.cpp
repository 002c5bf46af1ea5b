#include "json_lsp.hpp"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "chaines.hpp"
#include "protocole_lsp.hpp"

namespace {

// No message of the protocol nests deeper; a deeper one is refused before it
// is parsed, so that nothing walks it recursively.
constexpr int PROFONDEUR_MAX = 64;

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

}  // namespace

message_lu lit_message(std::string_view corps, std::string* a_liberer) {
  message_lu m;
  const auto refuse = [&](int code, const char* texte) {
    m.code = code;
    m.refus = texte;
    return std::move(m);
  };
  if (trop_profond(corps)) return refuse(REQUETE_INVALIDE, "Le message est imbriqué trop profondément : il est ignoré."_l1);
  m.message = json::parse(corps.begin(), corps.end(), nullptr, false);
  if (a_liberer != nullptr) std::string().swap(*a_liberer);
  if (m.message.is_discarded()) return refuse(ILLISIBLE, "Le message n'est pas du JSON valide."_l1);
  if (!m.message.is_object()) return refuse(REQUETE_INVALIDE, "Le message n'est pas un objet JSON-RPC."_l1);
  const auto id = m.message.find("id");
  m.a_un_id = id != m.message.end();
  if (m.a_un_id && !id->is_string() && !id->is_number_integer() && !id->is_null())
    return refuse(REQUETE_INVALIDE, "L'identifiant de la requête n'est ni un nombre entier ni une chaîne."_l1);
  if (m.a_un_id) m.id = *id;
  const auto methode = m.message.find("method");
  if (methode == m.message.end() || !methode->is_string()) {
    m.reponse = m.a_un_id && (m.message.contains("result") || m.message.contains("error"));
    return m.reponse ? std::move(m) : refuse(REQUETE_INVALIDE, "Le message n'a pas de méthode."_l1);
  }
  m.methode = methode->get<std::string>();
  const auto parametres = m.message.find("params");
  if (parametres == m.message.end()) m.message["params"] = json::object();
  m.parametres = &m.message["params"];
  return m;
}

json reponse(const json& id, json resultat) { return {{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(resultat)}}; }

json erreur(const json& id, int code, const char* message_latin1) {
  return {{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", en_utf8(message_latin1)}}}};
}

json erreur_utf8(const json& id, int code, const std::string& message) {
  return {{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}};
}

json journal(const std::string& message_utf8) {
  return {{"jsonrpc", "2.0"}, {"method", "window/logMessage"}, {"params", {{"type", JOURNAL_ERREUR}, {"message", message_utf8}}}};
}

long long entier(const json& v) {
  if (!v.is_number_float()) return v.get<long long>();
  const double d = v.get<double>();
  return d != d ? 0 : static_cast<long long>(std::clamp(d, -1e15, 1e15));
}

std::string uri_de(const json& parametres) { return parametres.at("textDocument").at("uri").get<std::string>(); }

position_lsp position_de(const json& parametres) {
  const json& x = parametres.at("position");
  const auto borne = [](long long v) { return static_cast<int>(std::clamp<long long>(v, -1, INT_MAX)); };
  return {borne(entier(x.at("line"))), borne(entier(x.at("character")))};
}

std::int64_t version_de(const json& document, std::int64_t avant) {
  const auto v = document.find("version");
  if (v == document.end()) return avant;
  if (!v->is_number_integer()) throw refus_de_parametres{};
  return v->get<std::int64_t>();
}

std::vector<document_ouvert::changement> changements_de(const json& parametres) {
  const json& changements = parametres.at("contentChanges");
  if (!changements.is_array()) throw refus_de_parametres{};
  std::vector<document_ouvert::changement> r;
  for (const json& c : changements) {
    document_ouvert::changement m{c.contains("range"), 0, 0, 0, 0, c.at("text").get_ref<const std::string&>()};
    if (m.partiel) {
      const json& e = c.at("range");
      m.ligne_debut = entier(e.at("start").at("line"));
      m.caractere_debut = entier(e.at("start").at("character"));
      m.ligne_fin = entier(e.at("end").at("line"));
      m.caractere_fin = entier(e.at("end").at("character"));
    }
    r.push_back(m);
  }
  return r;
}

demande_d_actions demande_d_actions_de(const json& parametres) {
  const json& contexte = parametres.at("context");
  const auto seules = contexte.find("only");
  // A kind is asked for when no kind is named, or when it or a kind that
  // holds it is ("source" holds "source.fixAll").
  const auto voulue = [&](std::string_view sorte) {
    if (seules == contexte.end()) return true;
    for (const json& o : *seules) {
      const std::string s = o.get<std::string>();
      if (sorte == s || (sorte.size() > s.size() && sorte.substr(0, s.size()) == s && sorte[s.size()] == '.')) return true;
    }
    return false;
  };
  demande_d_actions d{0, 0, voulue("quickfix"), voulue("source.fixAll"), {}};
  if (d.correctifs) {
    const json& e = parametres.at("range");
    d.premiere = entier(e.at("start").at("line"));
    d.derniere = entier(e.at("end").at("line"));
    for (const json& diag : contexte.value("diagnostics", json::array())) {
      const json code = diag.value("code", json());
      d.diagnostics.push_back({code.is_string() ? code.get<std::string>() : std::string(),
                               entier(diag.at("range").at("start").at("line"))});
    }
  }
  return d;
}

json json_de(position_lsp p) { return {{"line", p.ligne}, {"character", p.caractere}}; }

json etendue(position_lsp debut, position_lsp fin) { return {{"start", json_de(debut)}, {"end", json_de(fin)}}; }

json json_de(const survol& s, bool texte) {
  if (s.markdown.empty()) return nullptr;
  if (!texte) return {{"contents", {{"kind", "markdown"}, {"value", s.markdown}}}, {"range", etendue(s.debut, s.fin)}};
  // "**CL109** x", "`4-8`", "[Lire la section](adresse)" and the fences of examples
  // read as "CL109 x", "4-8", "Lire la section : adresse".
  std::string t;
  for (std::size_t i = 0; i < s.markdown.size(); ++i) {
    const char c = s.markdown[i];
    if (s.markdown.compare(i, 3, "```") == 0) {
      i = std::min(s.markdown.find('\n', i), s.markdown.size());
      continue;
    }
    if (c == '`' || s.markdown.compare(i, 2, "**") == 0) {
      i += c == '*' ? 1 : 0;
      continue;
    }
    if (c == '[' && s.markdown.find("](", i) < s.markdown.find('\n', i)) continue;  // a link's text
    if (c == ']' && i + 1 < s.markdown.size() && s.markdown[i + 1] == '(') {
      const std::size_t fin = s.markdown.find(')', i);
      t += " : " + s.markdown.substr(i + 2, fin == std::string::npos ? std::string::npos : fin - i - 2);
      i = fin == std::string::npos ? s.markdown.size() : fin;
      continue;
    }
    t += c;
  }
  return {{"contents", {{"kind", "plaintext"}, {"value", t}}}, {"range", etendue(s.debut, s.fin)}};
}

json emplacements(const std::string& uri, const std::vector<lien_place>& liens) {
  json liste = json::array();
  for (const lien_place& n : liens) liste.push_back({{"uri", uri}, {"range", etendue(n.debut, n.fin)}});
  return liste;
}

json json_de(const std::vector<proposition>& propositions) {
  json liste = json::array();
  for (const proposition& c : propositions) {
    json element = {{"label", c.etiquette},
                    {"kind", c.valeur ? COMPLETION_VALEUR : COMPLETION_MOT_CLE},
                    {"detail", c.detail},
                    {"sortText", c.tri},
                    {"textEdit", {{"range", etendue(c.debut, c.fin)}, {"newText", c.texte}}}};
    if (!c.documentation.empty()) element["documentation"] = {{"kind", "markdown"}, {"value", c.documentation}};
    liste.push_back(std::move(element));
  }
  return {{"isIncomplete", false}, {"items", std::move(liste)}};
}

json json_de(const std::vector<element_du_plan>& plan) {
  json liste = json::array();
  for (const element_du_plan& e : plan) {
    json x = {{"name", e.nom},
              {"kind", e.entree ? SYMBOLE_ENTREE : SYMBOLE_ESPACE_DE_NOMS},
              {"range", etendue(e.debut, e.fin)},
              {"selectionRange", etendue(e.selection_debut, e.selection_fin)}};
    if (!e.detail.empty()) x["detail"] = e.detail;
    if (!e.enfants.empty()) x["children"] = json_de(e.enfants);
    liste.push_back(std::move(x));
  }
  return liste;
}

json json_de(const std::vector<pli>& plis) {
  json liste = json::array();
  for (const pli& p : plis) liste.push_back({{"startLine", p.debut}, {"endLine", p.fin}});
  return liste;
}

namespace {

// A finding as a diagnostic of the protocol, its members in the order the
// protocol's examples write them. A root says how many findings follow
// from it and where its slip is; each of them points at it.
template <typename J>
J diagnostic_de(const std::string& uri, const document_ouvert& d, const trouvaille& t) {
  const auto etendue_ = [](position_lsp debut, position_lsp fin) {
    return J{{"start", {{"line", debut.ligne}, {"character", debut.caractere}}}, {"end", {{"line", fin.ligne}, {"character", fin.caractere}}}};
  };
  const auto ligne_entiere = [&](position_lsp debut) {
    return etendue_(debut, {debut.ligne, d.longueur(static_cast<std::size_t>(debut.ligne))});
  };
  std::string message = t.message;
  if (t.suites > 0)
    message += en_utf8((t.suites > 1 ? " (" + std::to_string(t.suites) + " constats en découlent)"_l1 : std::string(" (1 constat en découle)"_l1)).c_str());
  J x = {{"range", etendue_(t.debut, t.fin)},
         {"severity", t.type},
         {"code", nom_du_code(t.code)},
         {"codeDescription", {{"href", adresse_du_code(t.code)}}},
         {"source", "verifie_climat"},
         {"message", message}};
  J liees = J::array();
  if (t.lien.ligne >= 0 && !t.message_lien.empty())
    liees.push_back({{"location", {{"uri", uri}, {"range", ligne_entiere(t.lien)}}}, {"message", t.message_lien}});
  if (t.cause >= 0) {
    const trouvaille& racine = d.trouvailles[static_cast<std::size_t>(t.cause)];
    liees.push_back({{"location", {{"uri", uri}, {"range", etendue_(racine.debut, racine.fin)}}},
                     {"message", en_utf8(("Découle de la ligne "_l1 + std::to_string(racine.debut.ligne + 1) + ".").c_str())}});
  }
  if (t.origine.ligne >= 0)
    liees.push_back({{"location", {{"uri", uri}, {"range", ligne_entiere(t.origine)}}},
                     {"message", en_utf8("Le glissement qui cause ce constat est ici."_l1)}});
  if (!liees.empty()) x["relatedInformation"] = std::move(liees);
  return x;
}

}  // namespace

json json_de(const std::vector<action_code>& actions, const std::string& uri, const json& parametres, const document_ouvert& d) {
  const json diagnostics = parametres.at("context").value("diagnostics", json::array());
  json liste = json::array();
  for (const action_code& a : actions) {
    json x = {{"title", a.titre}, {"kind", a.tout ? "source.fixAll" : "quickfix"}};
    if (!a.tout) {
      // The request's diagnostics it removes, and the findings that follow
      // from its root, which the same edit removes.
      json retires = json::array();
      for (const std::size_t k : a.retires) retires.push_back(diagnostics[k]);
      for (const std::size_t k : a.suites) retires.push_back(diagnostic_de<json>(uri, d, d.trouvailles[k]));
      x["diagnostics"] = std::move(retires);
      x["isPreferred"] = true;
    }
    if (!a.desactivee.empty()) {
      x["disabled"] = {{"reason", a.desactivee}};
    } else {
      json edits = json::array();
      for (const modification_lsp& m : a.modifications) edits.push_back({{"range", etendue(m.debut, m.fin)}, {"newText", m.texte}});
      x["edit"] = {{"changes", {{uri, std::move(edits)}}}};
    }
    liste.push_back(std::move(x));
  }
  return liste;
}

json capacites() {
  return {{"capabilities",
           {{"positionEncoding", "utf-16"},
            {"textDocumentSync", {{"openClose", true}, {"change", SYNCHRONISATION_INCREMENTALE}, {"save", {{"includeText", false}}}}},
            {"hoverProvider", true},
            {"definitionProvider", true},
            {"referencesProvider", true},
            {"completionProvider", {{"triggerCharacters", DECLENCHEURS}}},
            {"codeActionProvider", {{"codeActionKinds", {"quickfix", "source.fixAll"}}}},
            {"documentSymbolProvider", true},
            {"foldingRangeProvider", true},
            {"inlayHintProvider", true},
            {"documentHighlightProvider", true},
            {"codeLensProvider", {{"resolveProvider", false}}},
            {"renameProvider", {{"prepareProvider", true}}}}},
          {"serverInfo", {{"name", "verifie_climat"}, {"version", VERSION_TESTEUR}}}};
}

json json_de(const std::vector<indication>& indications) {
  json liste = json::array();
  for (const indication& i : indications) liste.push_back({{"position", json_de(i.ou)}, {"label", i.texte}, {"paddingLeft", true}});
  return liste;
}

json surlignages(const std::vector<lien_place>& liens) {
  json liste = json::array();
  for (const lien_place& n : liens)
    liste.push_back({{"range", etendue(n.debut, n.fin)}, {"kind", n.l.definition ? SURLIGNAGE_ECRIT : SURLIGNAGE_LU}});
  return liste;
}

// A lens only shows its title: its command does nothing.
json json_de(const std::vector<lentille>& lentilles) {
  json liste = json::array();
  for (const lentille& l : lentilles)
    liste.push_back({{"range", etendue(l.debut, l.fin)}, {"command", {{"title", l.titre}, {"command", ""}}}});
  return liste;
}

json modification(const std::string& uri, const renumerotation& r, const std::string& nouveau) {
  json editions = json::array();
  for (const lien_place& n : r.places) editions.push_back({{"range", etendue(n.debut, n.fin)}, {"newText", nouveau}});
  return {{"changes", {{uri, std::move(editions)}}}};
}

std::pair<int, int> lignes_de(const json& parametres) {
  const json& etendue_ = parametres.at("range");
  const auto borne = [](long long n) { return static_cast<int>(std::clamp<long long>(n, 0, INT_MAX)); };
  return {borne(entier(etendue_.at("start").at("line"))), borne(entier(etendue_.at("end").at("line")))};
}

std::string nouveau_nom(const json& parametres) { return parametres.at("newName").get<std::string>(); }

bool survol_en_texte(const json& parametres) {
  const json* formats = &parametres;
  for (const char* cle : {"capabilities", "textDocument", "hover", "contentFormat"}) {
    if (!formats->is_object() || !formats->contains(cle)) return false;
    formats = &formats->at(cle);
  }
  return formats->is_array() && std::find(formats->begin(), formats->end(), "markdown") == formats->end();
}

std::string publication(const std::string& uri, const document_ouvert* d) {
  using ordonne = nlohmann::ordered_json;
  ordonne diagnostics = ordonne::array();
  const auto ecrit = [&](const trouvaille& t) { diagnostics.push_back(diagnostic_de<ordonne>(uri, *d, t)); };
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
  ordonne parametres = {{"uri", uri}};
  if (d != nullptr) parametres["version"] = d->version;
  parametres["diagnostics"] = std::move(diagnostics);
  const ordonne message = {{"jsonrpc", "2.0"}, {"method", "textDocument/publishDiagnostics"}, {"params", std::move(parametres)}};
  return message.dump(-1, ' ', false, ordonne::error_handler_t::replace);
}

std::string texte_de(const json& message) { return message.dump(-1, ' ', false, json::error_handler_t::replace); }
