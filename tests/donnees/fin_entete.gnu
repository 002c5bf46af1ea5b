fin_entete.txt:4:1: erreur: Le fichier se termine avant la fin des six lignes d'en-tête. [CL202]
