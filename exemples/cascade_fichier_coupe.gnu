cascade_fichier_coupe.txt:35:1: erreur: La numérotation des saisons est incorrecte. [CL401]
cascade_fichier_coupe.txt:35:1: erreur: La numérotation des saisons est incorrecte. [CL401]
cascade_fichier_coupe.txt:35:1: erreur: La liste des saisons ne doit contenir que 4 saisons. [CL403]
cascade_fichier_coupe.txt:35:1: erreur: Le fichier se termine avant le < qui doit terminer la liste des saisons. [CL204]
