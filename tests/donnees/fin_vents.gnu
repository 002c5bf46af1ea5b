fin_vents.txt:22:1: erreur: Le fichier se termine avant le < qui doit terminer la liste des vents. [CL204]
