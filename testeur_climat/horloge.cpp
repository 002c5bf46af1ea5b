#include "testeur_climat/passe.hpp"

void verifie_horloge(etat_passe& e) { ++e.etape; }
