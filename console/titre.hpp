// Title screen and the relaunch of the program inside an xterm window.
#pragma once

#include <string>
#include <string_view>

void Titre(int argc, char** argv, const char* titre_fenetre, const char* entete, const char* couleurs);
void startxterm(int argc, char** argv, const char* titre_fenetre, const char* couleurs);

// Set in the environment of the direct restart that follows a window that
// could not be opened: the restarted program then runs without a window.
inline constexpr const char* VARIABLE_SANS_XTERM = "AUBRELIS_SANS_XTERM";

// The pieces of the relaunch, apart so that they can be checked alone.
struct couleurs_fenetre {
  std::string fond;
  std::string texte;
};
couleurs_fenetre couleurs_xterm(const char* code);

struct chemin_programme {
  std::string repertoire;  // where the relaunched program starts
  std::string nom;         // from the last "/" on, that "/" included
};
// `programme` is the first entry of the argument vector, `courant` the
// working directory, `executable` the program's real path when known.
chemin_programme decoupe_chemin_programme(const std::string& programme, const std::string& courant,
                                          const std::string& executable);

std::string commande_relance(std::string_view repertoire, std::string_view nom, std::string_view arguments);

// The frame drawn by Titre, as text.
std::string cadre_titre(const char* entete);
