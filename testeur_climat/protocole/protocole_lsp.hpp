// The numbers the Language Server Protocol gives meaning to.
#pragma once

// JSON-RPC's error codes, and the protocol's own.
inline constexpr int ILLISIBLE = -32700;
inline constexpr int REQUETE_INVALIDE = -32600;
inline constexpr int METHODE_INCONNUE = -32601;
inline constexpr int PARAMETRES_INVALIDES = -32602;
inline constexpr int PAS_INITIALISE = -32002;
inline constexpr int REQUETE_ECHOUEE = -32803;  // a request understood that cannot be done (a rename refused)

// A diagnostic's severity: errors and warnings are the pass's ERREUR and
// AVERTISSEMENT; this one is neither.
inline constexpr int INFORMATION = 3;
// How the document's text is sent: whole at open, then by changed ranges.
inline constexpr int SYNCHRONISATION_INCREMENTALE = 2;
// The kinds of symbol a paragraph and an entry are shown as in an outline.
inline constexpr int SYMBOLE_ESPACE_DE_NOMS = 3;
inline constexpr int SYMBOLE_ENTREE = 22;  // EnumMember
// The kinds of a completion item: a number of a list, a keyword.
inline constexpr int COMPLETION_VALEUR = 12;
inline constexpr int COMPLETION_MOT_CLE = 14;
// The type of a window/logMessage that reports an error.
inline constexpr int JOURNAL_ERREUR = 1;
// How a use of an entry is highlighted: read where it is used, written
// where it is defined.
inline constexpr int SURLIGNAGE_LU = 2;
inline constexpr int SURLIGNAGE_ECRIT = 3;
