// Title screen and the relaunch of the program inside an xterm window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Both take the argument count by reference: a first argument "swxterm" is
// always taken out of the vector, so the caller never sees it.
void Titre(int& argc, char** argv, const char* titre_fenetre, const char* entete, const char* couleurs);
void startxterm(int& argc, char** argv, const char* titre_fenetre, const char* couleurs);

// The pieces of the relaunch, apart so that they can be checked alone.
struct couleurs_fenetre {
  std::string fond;
  std::string texte;
};
couleurs_fenetre couleurs_xterm(const char* code);

struct chemin_programme {
  std::string repertoire;  // where the relaunched program starts: the working directory
  std::string nom;         // how it is reached from there, after a "."
};
// `programme` is the first entry of the argument vector, `courant` the
// working directory, `executable` the program's real path when known.
chemin_programme decoupe_chemin_programme(const std::string& programme, const std::string& courant,
                                          const std::string& executable);

// The shell command run in the window; each argument reaches the program whole.
std::string commande_relance(std::string_view repertoire, std::string_view nom,
                             const std::vector<std::string_view>& arguments);

// The frame drawn by Titre, as text.
std::string cadre_titre(const char* entete);
