fin_vents_tete.txt:16:1: erreur: Le fichier se termine avant le paragraphe du vent, qui doit commencer par >Vent: [CL203]
