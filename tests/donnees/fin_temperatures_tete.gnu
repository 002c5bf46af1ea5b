fin_temperatures_tete.txt:8:1: erreur: Le fichier se termine avant le paragraphe de la température, qui doit commencer par >Température: [CL203]
