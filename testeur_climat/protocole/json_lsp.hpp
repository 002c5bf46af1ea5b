// The protocol's JSON, read and written here and nowhere else: the
// parameters of a request as the language layer's types, and its results
// as the protocol's objects.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "actions.hpp"
#include "document.hpp"
#include "langage.hpp"
#include "plan.hpp"
#include "renvois.hpp"

using json = nlohmann::json;

// Parameters that are not the protocol's, found before anything changed.
struct refus_de_parametres {};

// --- Reading.
// A message of the client, as JSON-RPC reads it: what it asks, or why it is
// refused (`refus`, Latin-1, with its error code).
struct message_lu {
  json message;
  json id;                   // null when it has none
  bool a_un_id = false;
  bool reponse = false;      // a response to the server, which sends no request: passed over
  std::string methode;
  json* parametres = nullptr;
  const char* refus = nullptr;
  int code = 0;
};
// `a_liberer`, when given, holds the bytes and is emptied once they are parsed.
message_lu lit_message(std::string_view corps, std::string* a_liberer);
// A line or a character of a position: an integer, or a number held within
// the bounds of one (a fraction from a careless client, 1e300, NaN); any
// other value is a client's mistake, answered as such.
long long entier(const json& v);
// The document a request is about.
std::string uri_de(const json& parametres);
// The position of a request, within the bounds of an int.
position_lsp position_de(const json& parametres);
// A document's version: an integer, or the one it had when none is given.
std::int64_t version_de(const json& document, std::int64_t avant);
// The changes of a didChange notification; their texts stay in the message.
std::vector<document_ouvert::changement> changements_de(const json& parametres);
// What a code action request asks: its lines, its kinds, its diagnostics.
struct demande_d_actions {
  long long premiere;
  long long derniere;
  bool correctifs;
  bool tout;
  std::vector<diagnostic_demande> diagnostics;
};
demande_d_actions demande_d_actions_de(const json& parametres);

// --- Writing.
json reponse(const json& id, json resultat);
json erreur(const json& id, int code, const char* message_latin1);
// A window/logMessage notification of an error.
json journal(const std::string& message_utf8);
json json_de(position_lsp p);
json etendue(position_lsp debut, position_lsp fin);
// In plain text, when `texte`: the Markdown's marks taken away.
json json_de(const survol& s, bool texte = false);
json emplacements(const std::string& uri, const std::vector<lien_place>& liens);
json json_de(const std::vector<proposition>& propositions);
json json_de(const std::vector<element_du_plan>& plan);
json json_de(const std::vector<pli>& plis);
// The actions, each with the request's diagnostics it removes.
json json_de(const std::vector<action_code>& actions, const std::string& uri, const json& parametres, const document_ouvert& d);
json json_de(const std::vector<indication>& indications);
json surlignages(const std::vector<lien_place>& liens);
json json_de(const std::vector<lentille>& lentilles);
// A rename's edits, as a WorkspaceEdit of the document `uri`.
json modification(const std::string& uri, const renumerotation& r, const std::string& nouveau);
// The lines [premiere, derniere] of a request's range.
std::pair<int, int> lignes_de(const json& parametres);
// A rename's new name.
std::string nouveau_nom(const json& parametres);
// Whether the client of `initialize` reads hovers as plain text only: it
// lists formats, and Markdown is not one of them.
bool survol_en_texte(const json& parametres);
json erreur_utf8(const json& id, int code, const std::string& message);
json capacites();
// The diagnostics of a document (null: closed), as the notification that
// publishes them.
std::string publication(const std::string& uri, const document_ouvert* d);
// A message of the protocol, as sent (the JSON library's dump, invalid
// UTF-8 replaced).
std::string texte_de(const json& message);
