fin_saisons_tete.txt:32:1: erreur: Le fichier se termine avant le paragraphe des saisons, qui doit commencer par >Saison: [CL203]
