// A unified diff of two texts, line by line, as `patch -p1` and `git apply`
// read it: "--- a/PATH", "+++ b/PATH", then hunks with three lines of
// context. The lines are the texts' own bytes.
#pragma once

#include <string>
#include <string_view>

// Empty when the texts are the same.
std::string diff_unifie(std::string_view avant, std::string_view apres, std::string_view chemin);
