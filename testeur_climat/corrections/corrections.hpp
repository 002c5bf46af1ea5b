// Sure fixes: for the usual slips, the edit that makes the text what the
// author meant. A fix is offered only when the pass, run again on the text
// with that edit, no longer draws the finding and draws nothing it did not
// draw before. Beside the pass, not in it: the fixes read the findings and
// the text, and ask the pass to confirm.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One edit of a climate file's bytes (Latin-1).
struct correction {
  std::size_t debut;  // the bytes [debut, fin) of the text are replaced
  std::size_t fin;
  std::string texte;   // by these
  std::string titre;   // what it does, in a few words (Latin-1)
  int code;            // the finding it removes
  int ligne;           // that finding's line (line feeds counted, from 1)
  // A repair that only shows what follows from what (a missing line put
  // back with a neighbour's fields): never offered as a fix.
  bool sonde = false;
  // A repair that moves or removes whole lines: where a fix of the finding
  // itself removes the same findings (renumbering two numbers rather than
  // swapping two lines), that fix is kept and this one is not.
  bool lignes = false;
};

// The fixes the pass confirms on this text, in the order of the file, for
// the findings on lines [premiere, derniere] (as the pass counts them), at
// most `nombre_max` of them. Each edit is the least that does the fix: the
// bytes it leaves as they were are not in it. The candidates are confirmed
// many in one pass where the pass can tell each one's effect apart; without
// `par_lots`, each by a pass of its own (slower, and the same answer: the
// fuzzer compares them).
std::vector<correction> corrections_sures(std::string_view texte, std::size_t nombre_max = 64, int premiere = 1,
                                          int derniere = 1 << 30, bool par_lots = true);

// What a finding follows from. A finding that a sure fix made elsewhere, for
// an earlier finding, removes too is a consequence: `cause` is the index of
// that root among the text's findings (in the order of the pass). A root
// has -1; a root whose repair lies elsewhere than its own line (a blank line
// that drew nothing, the place of a missing line) has the place of that
// repair in `ligne_origine` (line feeds counted, from 1) and
// `colonne_origine` (bytes from the start of that line); 0 otherwise. The
// roots are looked for among the first 200 findings of a text of at most
// 1 MiB; the vector is empty for a longer text, and shorter than the
// findings when the search stopped: a finding past its end is a root.
struct filiation {
  int cause = -1;
  int ligne_origine = 0;
  int colonne_origine = 0;
};
inline constexpr std::size_t FILIATIONS_OCTETS_MAX = 1 << 20;
std::vector<filiation> filiations(std::string_view texte);

// The bytes of a file saved in UTF-8 whose every character exists in
// Latin-1, in Latin-1; empty when the bytes are not such a file.
std::string reencode_en_latin1(std::string_view octets);

// Every fix applied, one at a time and each confirmed again on the text the
// ones before it left, until none is left or a bound is reached. With
// `depuis_le_disque`, bytes saved in UTF-8 are first written in Latin-1.
// `appliquees` receives the fixes in the order they were applied (their
// places in the text as it was then).
std::string corrige(std::string_view texte, bool depuis_le_disque, std::vector<correction>* appliquees = nullptr);
