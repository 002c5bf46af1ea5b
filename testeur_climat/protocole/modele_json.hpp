// The model of a climate file as JSON, for verifie_climat --format=climat
// and the page: what the file holds, every element with its line, in UTF-8.
// A number the pass found no digits for is null; a paragraph the file ends
// before is null; a line that ends nothing has "fin": null.
#pragma once

#include "ecrit_json.hpp"
#include "modele.hpp"

// The members "entete", "temperatures", "vents", "precipitations",
// "saisons", "regles" and "horloge" of the object open in `j`.
void ecrit_modele(ecrit_json& j, const modele_climat& m);
