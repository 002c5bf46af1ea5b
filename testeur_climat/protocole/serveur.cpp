#include "serveur.hpp"

#include <algorithm>
#include <cstdint>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <string_view>
#include <utility>
#include <vector>

#include "actions.hpp"
#include "chaines.hpp"
#include "document.hpp"
#include "json_lsp.hpp"
#include "langage.hpp"
#include "plan.hpp"
#include "protocole_lsp.hpp"
#include "renvois.hpp"


// One message of the client, with the means to answer it. Each method's
// handler reads its parameters, asks the language layer, and answers.
struct requete {
  serveur_lsp& serveur;
  const json& id;
  bool attend_reponse;
  mutable bool repondu = false;

  void envoie(const json& message) const {
    repondu = repondu || message.contains("id");
    serveur.envoie(cadre(texte_de(message)));
  }
  void repond(json resultat) const {
    if (attend_reponse) envoie(reponse(id, std::move(resultat)));
  }
  void refuse(int code, const char* message_latin1) const {
    if (attend_reponse) envoie(erreur(id, code, message_latin1));
  }
  // Parameters that are not the protocol's: a request is answered so; a
  // notification, which has no answer, is said in the client's log.
  void parametres_refuses() const {
    constexpr const char* texte = "Les paramètres de la requête ne sont pas ceux qu'attend le protocole."_l1;
    if (attend_reponse) return refuse(PARAMETRES_INVALIDES, texte);
    envoie(journal(en_utf8("Notification ignorée : "_l1) + en_utf8(texte)));
  }
  static void envoie_erreur(serveur_lsp& s, const json& id, int code, const char* message_latin1) {
    requete{s, id, true, false}.envoie(erreur(id, code, message_latin1));
  }
  void publie(const std::string& uri, const document_ouvert* d) const { serveur.envoie(cadre(publication(uri, d))); }

  document_ouvert* document(const json& parametres) const {
    const auto trouve = serveur.documents.find(uri_de(parametres));
    return trouve == serveur.documents.end() ? nullptr : trouve->second.get();
  }
  // How the document's file is saved, read again from the disk.
  static void regarde_le_disque(document_ouvert& d) {
    const sur_le_disque disque = enregistrement(d.chemin);
    d.utf8_sur_disque = disque.utf8;
    d.crlf_sur_disque = disque.crlf;
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
    regarde_le_disque(*d);
    d->analyse();
    publie(uri, d.get());
    serveur.documents[uri] = std::move(d);
  }

  // Every change is read and checked before the first is made: a
  // notification that cannot be made whole changes nothing. The positions of
  // a change are on the text the one before it left.
  void change(json& p) const {
    document_ouvert* d = document(p);
    if (d == nullptr) return;
    const std::int64_t version = version_de(p.at("textDocument"), d->version);
    d->change(changements_de(p));
    d->version = version;
    // Analysed once the changes already received have all been made.
    d->a_publier = true;
    serveur.changements_en_attente = true;
  }

  void enregistre(json& p) const {
    document_ouvert* d = document(p);
    if (d == nullptr) return;
    regarde_le_disque(*d);
    d->analyse();
    publie(uri_de(p), d);
  }

  void ferme(json& p) const {
    const auto uri = uri_de(p);
    if (serveur.documents.erase(uri) == 0) return;
    publie(uri, nullptr);
#ifdef __GLIBC__
    malloc_trim(0);  // a large document's memory goes back to the system
#endif
  }

  void survol(json& p) const {
    const document_ouvert* d = document(p);
    const position_lsp ici = position_de(p);
    repond(d == nullptr ? json(nullptr) : json_de(survole(*d, ici), serveur.survol_en_texte));
  }

  // From a number to the entry it names; from an entry to its uses.
  void definition(json& p) const {
    const document_ouvert* d = document(p);
    const position_lsp ici = position_de(p);
    repond(d == nullptr ? json(nullptr) : emplacements(uri_de(p), definitions(*d, ici)));
  }
  void usages(json& p) const {
    const document_ouvert* d = document(p);
    const position_lsp ici = position_de(p);
    const bool avec = p.value("context", json::object()).value("includeDeclaration", false);
    repond(d == nullptr ? json(nullptr) : emplacements(uri_de(p), references(*d, ici, avec)));
  }

  void completion(json& p) const {
    const document_ouvert* d = document(p);
    const position_lsp ici = position_de(p);
    repond(json_de(d == nullptr ? std::vector<proposition>() : propositions(*d, ici)));
  }

  void symboles(json& p) const {
    const document_ouvert* d = document(p);
    repond(d == nullptr ? json::array() : json_de(plan(*d)));
  }

  void plis_(json& p) const {
    const document_ouvert* d = document(p);
    repond(d == nullptr ? json::array() : json_de(plis(*d)));
  }

  // After each number that names an entry, the entry's display text.
  void indications_(json& p) const {
    const document_ouvert* d = document(p);
    const auto [premiere, derniere] = lignes_de(p);
    repond(d == nullptr ? json::array() : json_de(indications(*d, premiere, derniere)));
  }
  void surlignages_(json& p) const {
    const document_ouvert* d = document(p);
    const position_lsp ici = position_de(p);
    repond(d == nullptr ? json::array() : surlignages(references(*d, ici, true)));
  }
  void lentilles_(json& p) const {
    const document_ouvert* d = document(p);
    repond(d == nullptr ? json::array() : json_de(lentilles(*d)));
  }
  // The number under the cursor, if it names an entry, to be renumbered.
  void avant_renommage(json& p) const {
    const document_ouvert* d = document(p);
    const std::optional<lien_place> n = d == nullptr ? std::nullopt : nombre_a(*d, position_de(p));
    if (!n) return repond(nullptr);
    repond({{"range", etendue(n->debut, n->fin)}, {"placeholder", std::to_string(n->l.numero)}});
  }
  void renommage(json& p) const {
    const document_ouvert* d = document(p);
    if (d == nullptr) return repond(nullptr);
    const std::string nouveau = nouveau_nom(p);
    const renumerotation r = renumerote(*d, position_de(p), nouveau);
    if (!r.refus.empty()) {
      if (attend_reponse) envoie(erreur_utf8(id, REQUETE_ECHOUEE, r.refus));
      return;
    }
    repond(modification(uri_de(p), r, nouveau));
  }

  void initialise(json& p) const {
    serveur.initialise = true;
    serveur.survol_en_texte = survol_en_texte(p);
    repond(capacites());
  }

  // The sure fixes of the lines asked, each with the diagnostics it removes,
  // and one action for every fix of the document.
  void actions_(json& p) const {
    const document_ouvert* d = document(p);
    if (d == nullptr) return repond(json::array());
    const demande_d_actions a = demande_d_actions_de(p);
    repond(json_de(actions(*d, a.premiere, a.derniere, a.correctifs, a.tout, a.diagnostics), uri_de(p), p, *d));
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
    {"textDocument/codeAction", &requete::actions_},
    {"textDocument/foldingRange", &requete::plis_},
    {"textDocument/inlayHint", &requete::indications_},
    {"textDocument/documentHighlight", &requete::surlignages_},
    {"textDocument/codeLens", &requete::lentilles_},
    {"textDocument/prepareRename", &requete::avant_renommage},
    {"textDocument/rename", &requete::renommage},
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
  message_lu m = lit_message(corps, a_liberer);
  if (m.refus != nullptr) {
    requete::envoie_erreur(*this, m.id, m.code, m.refus);
    return true;
  }
  if (m.reponse) return true;
  // Changes that follow one another are applied together; anything else
  // first sees them analysed and published.
  if (m.methode != "textDocument/didChange") publie_en_attente();
  const requete r{*this, m.id, m.a_un_id, false};
  try {
    r.execute(m.methode, *m.parametres);
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
  for (auto& [uri, d] : documents)
    if (d->a_publier) {
      d->a_publier = false;
      d->analyse();
      envoie(cadre(publication(uri, d.get())));
    }
}

serveur_lsp::serveur_lsp(std::function<void(const std::string&)> sortie)
    : envoie(std::move(sortie)),
      entree([this](std::string_view corps, std::string* a_liberer) { return traite(corps, a_liberer); },
             [this](int code, const char* message) { requete::envoie_erreur(*this, json(), code, message); }) {}
serveur_lsp::~serveur_lsp() = default;
