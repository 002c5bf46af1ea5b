// File opening, allocation check, line input, pauses and fatal exits of the
// suite.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

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

// The name under which the system opens a path: a path that names an
// existing file as it is; otherwise a valid UTF-8 path as it is and any other
// text converted from Latin-1, with its backslashes made slashes. A block to
// release with free, or null when the converted path does not fit in 4095
// bytes.
char* nom_systeme(const char* chemin);

// Opens a file under its system name; never returns on failure.
std::FILE* ouvre_fichier(const char* chemin, const char* mode);

// The log "Erreur.log", opened once for the whole run and emptied: only a
// regular file (created when absent) with no other name, never through a
// symbolic link, never the climate file `climat` (a system name, or null),
// and never while another check writes it (it stays locked until closed).
// Anything else ends the program with a message naming the reason and the fix.
int ouvre_journal(const char* nom, const char* climat);
// Writes all the bytes or ends the program: a log that lacks a finding must
// never pass for complete.
void ecrit_journal(int journal, const char* octets, std::size_t taille);
void ferme_journal(int journal);

void changeslash(char* texte);

// Standard input, output and error that are closed are opened on /dev/null,
// so that no file the program opens takes their place. Returns, as bits 0 to
// 2, which ones were closed.
int ouvre_descripteurs_standard();

// Reads up to `arret` (0 for the line feed) or the end of the stream; the
// caller releases the text with free.
char* getsdyn(std::FILE* flux, int arret);

void Pause();
void DPause();

// A Latin-1 message, "..." and a wait for one character, then status 1.
[[noreturn]] void fin_fatale(const char* message);
