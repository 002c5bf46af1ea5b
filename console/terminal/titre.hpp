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

// The argument vector of the window: xterm, its options, and after "-e" the
// program by its real path with each argument as its own argument.
std::vector<std::string> arguments_fenetre(const char* titre_converti, const couleurs_fenetre& c,
                                           const std::string& programme, const std::vector<std::string_view>& arguments);

// The frame drawn by Titre, as text.
std::string cadre_titre(const char* entete);
