fin_causes_tete.txt:44:1: erreur: Le fichier se termine avant le paragraphe des causes de précipitation, qui doit commencer par >Causes des précipitations: [CL203]
