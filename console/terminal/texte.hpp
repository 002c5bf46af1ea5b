// Console text output: Latin-1 texts converted for the terminal, and the
// index of a pattern's occurrences (which ends the program past its limit).
// Texts are Latin-1 bytes; only what reaches the terminal is converted.
#pragma once

#include <cstddef>

#include "chaines.hpp"

// Shared result buffer of the conversions; valid until the next one.
inline constexpr std::size_t TAILLE_CHFUNC = 4096;
extern char chfunc[TAILLE_CHFUNC];

// Length of the converted form of `texte`, without its NUL.
std::size_t longueur_convertie(const char* texte);

// Converts a Latin-1 text for the terminal: 0xE0..0xFF become 0xC3 and the
// byte minus 0x40, an existing 0xC3 pair is kept, every other byte is copied.
// Never writes more than `taille` bytes; a pair that does not fit is left out.
char* linux_acc(const char* texte, char* sortie, std::size_t taille);
char* acc(const char* texte, char* sortie, std::size_t taille);

// Prints a Latin-1 text converted, adds no line end.
void putsacc(const char* texte);

inline constexpr int TAILLE_INDEX = 50;
// Positions of every occurrence of `motif`, overlapping ones included.
// A 51st occurrence ends the program.
int index_ch(const char* texte, const char* motif, int* positions);
