cascade_utf8.txt:8:1: erreur: Le premier paragraphe après #Affichage: doit être celui de la température et commencer par >Température: [CL201]
cascade_utf8.txt:23:1: erreur: Le troisième paragraphe après #Affichage: doit être celui des précipitation et commencer par >Précipitation: [CL201]
cascade_utf8.txt:38:1: erreur: Le cinquième paragraphe après #Affichage: doit être celui des température par saison et commencer par >Température par saison: [CL201]
cascade_utf8.txt:44:1: erreur: Le sixième paragraphe après #Affichage: doit être celui des causes de précipitation et commencer par >Causes des précipitations: [CL201]
