// Runs the real program under a pseudo-terminal or with its output in a pipe.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct lancement {
  std::vector<std::string> arguments;    // the program first
  std::string dossier;                   // working directory; the current one when empty
  std::string path;                      // PATH of the child; unchanged when empty
  std::vector<std::string> variables;    // "NOM=valeur" added to the environment
  int delai_secondes = 30;               // the child is killed after this
};

struct execution {
  std::string sortie;  // everything the child wrote, as bytes
  int statut = -1;     // exit status; -1 when it had to be killed
  // For each step of the dialogue: the child was still running a while
  // after the expected text came, that is it really waited for the answer.
  std::vector<bool> attendait;
};

// Under a pseudo-terminal without output processing and without echo, so the
// bytes read are the program's own. Each step: when `attendu` has appeared
// after the previous step, `reponse` is typed.
execution lance_sous_terminal(const lancement& l,
                              const std::vector<std::pair<std::string, std::string>>& dialogue = {});

// Standard output and error into one pipe, `entree` on standard input.
execution lance_sans_terminal(const lancement& l, const std::string& entree = "");

// A fresh folder, removed when the test process ends.
std::string dossier_temporaire();
