entete.txt:1:1: erreur: La première ligne doit commencer impérativement par Latitude= [CL101]
entete.txt:2:11: avertissement: La Longitude est inférieure à -180 ou supérieure à 180, ces valeurs seront bridées à -180 ou +180. [CL106]
