// File opening, allocation check, line input and pauses of the suite.
#pragma once

#include <cstdint>
#include <cstdio>

// Address of the block just allocated, checked by Erreur(1): 0 means the
// allocation failed. Wide enough for any address, so a block is never taken
// for a failure because of where it lies.
extern std::uintptr_t ER;

// Ends the program with the message of `code` when ER is 0.
void Erreur(int code);

// Stores the block in ER and checks it; returns the block.
template <typename T>
T* verifie_allocation(T* bloc) {
  ER = reinterpret_cast<std::uintptr_t>(bloc);
  Erreur(1);
  return bloc;
}

// Opens a file under its converted name with slashes; never returns on failure.
std::FILE* ouvre_fichier(const char* chemin, const char* mode);

void changeslash(char* texte);

// Reads up to `arret` (0 for the line feed) or the end of the stream; the
// caller releases the text with free.
char* getsdyn(std::FILE* flux, int arret);

void Pause();
void DPause();
