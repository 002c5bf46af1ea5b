// What an editor shows of a climate file besides its findings: the hover,
// the entry a number names and the lines that use an entry, and completion.
// Answered from the document as last analysed, in UTF-8, on the protocol's
// positions; no JSON here, so that any front end can use it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document.hpp"

// The section of the authors' guide that explains a code; empty when none.
std::string_view section_du_guide(int code);
// The card's first line after its message: what is wrong, and whether it
// is an error or a warning; empty when none.
std::string_view probleme_du_guide(int code);
// What to do about a code, in one line: its row of the guide's cheat sheet;
// empty when none.
std::string_view conseil_du_guide(int code);
// Where the installed guide explains a code, as a link.
std::string adresse_du_code(int code);

// The hover at `p`, in Markdown, over [debut, fin); empty when there is
// nothing to say: the entry a number names, a clock variable, a rule line's
// engine, a paragraph head's paragraph, then the line's findings.
struct survol {
  std::string markdown;
  position_lsp debut;
  position_lsp fin;
};
survol survole(const document_ouvert& d, position_lsp p);

// The number at `p` (or just before it) that names an entry, placed.
std::optional<lien_place> nombre_a(const document_ouvert& d, position_lsp p);

// The lines that define the entry named by the number at `p` (an entry's
// own number included); empty when no number is there.
std::vector<lien_place> definitions(const document_ouvert& d, position_lsp p);
// The uses of that entry, and its definitions when asked.
std::vector<lien_place> references(const document_ouvert& d, position_lsp p, bool avec_definitions);

// One proposal of the completion, replacing [debut, fin) of the line.
struct proposition {
  std::string etiquette;
  std::string detail;
  std::string documentation;  // Markdown; may be empty
  std::string texte;          // what replaces the range
  std::string tri;            // the order of the list
  bool valeur;                // a number of a list (else a keyword)
  position_lsp debut;
  position_lsp fin;
};
std::vector<proposition> propositions(const document_ouvert& d, position_lsp p);

// The characters after which an editor asks for completion.
inline constexpr const char* DECLENCHEURS[] = {">", "#", "$", "=", ",", "[", "+", ";", "{", "\\", "-", "t", "v", "p"};
