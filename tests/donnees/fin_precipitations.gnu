fin_precipitations.txt:31:1: erreur: Le fichier se termine avant le < qui doit terminer la liste des précipitations. [CL204]
