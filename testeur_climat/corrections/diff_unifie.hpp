// A unified diff of two texts, line by line, as `patch -p1` and `git apply`
// read it: "--- a/PATH", "+++ b/PATH" (the name quoted as git quotes it
// when it holds a blank, a control character, a double quote, a backslash or
// a byte above 127), then hunks with three lines of context. The lines are
// the texts' own bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Empty when the texts are the same.
std::string diff_unifie(std::string_view avant, std::string_view apres, std::string_view chemin);

// The bytes [debut, fin) of a text replaced by `texte`.
struct remplacement {
  std::size_t debut;
  std::size_t fin;
  std::string texte;
};
// What makes `apres` of `avant`, as few bytes as the line-by-line script
// gives: one replacement for each run of changed lines, without the
// characters it leaves as they were at its ends; in the order of the text.
std::vector<remplacement> remplacements(std::string_view avant, std::string_view apres);
