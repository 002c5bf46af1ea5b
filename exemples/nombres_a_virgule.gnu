nombres_a_virgule.txt:1:10: avertissement: La latitude est nulle, vérifiez que ce n'est pas une erreur [CL102]
