cascade_oublis.txt:15:1: erreur: La liste de température devrait se terminer par <. [CL315]
cascade_oublis.txt:36:1: erreur: La liste de 4 saisons doit se terminer par un <. [CL404]
cascade_oublis.txt:52:1: erreur: La ligne suivant '#Horloge vague:' doit être la ligne du total, contenant '='. [CL702]
cascade_oublis.txt:53:1: erreur: Les numéros des moments ne se suivent pas. [CL703]
