// What a number of the file names, shown where it stands: the entry's
// display text after each number that names one, every use of an entry,
// how many rule lines use each list entry, and the renumbering of an entry
// with all its uses, made only when the pass confirms it.
#pragma once

#include <string>
#include <vector>

#include "document.hpp"

// After a number that names an entry elsewhere (in a rule, a condition, a
// qualifier, a season's temperatures, the clock's total), the entry's
// display text (UTF-8), for the lines [premiere, derniere] of the editor.
struct indication {
  position_lsp ou;
  std::string texte;
};
inline constexpr std::size_t INDICATIONS_MAX = 5000;
std::vector<indication> indications(const document_ouvert& d, int premiere, int derniere);

// Over each entry of the three lists: how many rule lines use it, and for a
// precipitation no rule without conditions starts from, that fact.
struct lentille {
  position_lsp debut;
  position_lsp fin;
  std::string titre;  // UTF-8
};
inline constexpr std::size_t LENTILLES_MAX = 2000;
std::vector<lentille> lentilles(const document_ouvert& d);

// The entry named by the number at `p` renumbered `nouveau`, with every use
// of it: the edits, or why not (`refus`, UTF-8). Refused when the number is
// taken, when a line that may use it could not be read, or when the pass,
// run on the result, would draw a finding it did not draw before.
struct renumerotation {
  std::vector<lien_place> places;  // each replaced by `nouveau`
  std::string refus;
};
renumerotation renumerote(const document_ouvert& d, position_lsp p, const std::string& nouveau);
