horloge_invisibles.txt:72:14: erreur: Le caractère ­ n'est pas reconnu comme caractère à interprèter. [CL704]
horloge_invisibles.txt:73:10: erreur: Le caractère   n'est pas reconnu comme caractère à interprèter. [CL704]
horloge_invisibles.txt:74:24: erreur: Le caractère 	 n'est pas reconnu comme caractère à interprèter. [CL704]
horloge_invisibles.txt:75:12: erreur: Le caractère ^A n'est pas reconnu comme caractère à interprèter. [CL704]
