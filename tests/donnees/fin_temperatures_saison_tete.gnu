fin_temperatures_saison_tete.txt:38:1: erreur: Le fichier se termine avant le paragraphe des températures par saison, qui doit commencer par >Température par saison: [CL203]
