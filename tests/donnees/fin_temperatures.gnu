fin_temperatures.txt:15:1: erreur: Le fichier se termine avant le < qui doit terminer la liste de température. [CL204]
