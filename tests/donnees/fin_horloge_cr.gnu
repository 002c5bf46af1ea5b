fin_horloge_cr.txt:57:3: erreur: Le $ qui ouvre la variable 'lever' n'est pas refermé. [CL706]
fin_horloge_cr.txt:57:3: erreur: Juste après le deuxième :, impossible de trouver le t qui précède la variation de température. [CL708]
fin_horloge_cr.txt:57:4: erreur: Impossible de trouver la variation de température lié à ce moment de la journée. [CL709]
fin_horloge_cr.txt:58:1: avertissement: Le nombre de moment lus ne correspond pas au total annoncé. [CL711]
