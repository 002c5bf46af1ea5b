// The interactive program's report: each finding on the console, converted
// for the terminal, and appended to "Erreur.log" in Latin-1.
#pragma once

#include "constats.hpp"

struct rapport_console final : rapport_constats {
  // The log, opened once for the run (see ouvre_journal).
  explicit rapport_console(int descripteur) : journal(descripteur) {}
  void rapporte(const constat& c) override;

 private:
  int journal;
};
