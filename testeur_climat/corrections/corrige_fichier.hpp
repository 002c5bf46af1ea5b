// verifie_climat's sure fixes of one file: printed as a unified diff, or
// applied in place without ever putting the file at risk. What was fixed,
// then what remains, is said on standard error.
#pragma once

// Returns the status the file's remaining findings give (0, or 1 with an
// error, or with a warning when `avertissements_bloquants`), 2 when the file
// could not be read or corrected.
int corrige_fichier(const char* nom, bool en_place, bool avertissements_bloquants);
