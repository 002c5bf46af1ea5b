fin_precipitations_tete.txt:23:1: erreur: Le fichier se termine avant le paragraphe des précipitations, qui doit commencer par >Précipitation: [CL203]
