// The interactive program's report: each finding on the console, converted
// for the terminal, and appended to "Erreur.log" in Latin-1.
#pragma once

#include "testeur_climat/passe.hpp"

struct rapport_console final : rapport_constats {
  void constat(int type, int ligne, const char* message) override;
};
