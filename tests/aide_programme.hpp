// What the end-to-end tests share: the program's texts as the terminal shows
// them, and a private copy of the program.
#pragma once

#include <string>

#include "aide_verification.hpp"
#include "console/titre.hpp"

inline const std::string CADRE = cadre_titre("Programme de test de fichier de climat");
inline const std::string INVITE = "Entrez le nom complet du fichier de climat à vérifier\n?: ";
inline const std::string EN_COURS = "Test du fichier de climat en cours.\n\n";
inline const std::string SANS_CONSTAT =
    "\nLe fichier de climat ne contient aucune erreur.\nLe fichier de climat ne contient aucun avertissement.\n...";
inline const std::string REFERENCE = std::string(DOSSIER_SOURCES) + "/tests/donnees/reference.txt";

// A copy of the program in a fresh folder, so that a relaunch, which starts
// in the program's folder, writes its "Erreur.log" there.
std::string copie_du_programme(const std::string& dossier);

// Counts the occurrences of `motif`.
int occurrences(const std::string& texte, const std::string& motif);
