lignes_longues.txt:18:255: erreur: La liste des vents devrait se terminer par <. [CL315]
lignes_longues.txt:40:5: erreur: La valeur de température minimale dépasse les limites admises. [CL407]
lignes_longues.txt:40:5: erreur: La valeur de température maximale est inférieure à la valeur de température minimale. [CL408]
lignes_longues.txt:60:1: erreur: Impossible de trouver le paragraphe Horloge vague. Identifié par '#Horloge vague:' [CL701]
