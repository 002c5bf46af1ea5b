fin_horloge.txt:53:1: erreur: Impossible de trouver le paragraphe Horloge vague. Identifié par '#Horloge vague:' [CL701]
