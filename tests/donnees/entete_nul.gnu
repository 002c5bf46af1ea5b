entete_nul.txt:1:10: avertissement: La latitude est nulle, vérifiez que ce n'est pas une erreur [CL102]
entete_nul.txt:2:11: avertissement: La Longitude est nulle, vérifiez que ce n'est pas une erreur [CL105]
entete_nul.txt:5:7: avertissement: Pour le temps avant changement de météo, les 2 valeurs sont identique, vérifiez que ce n'est pas une erreur [CL110]
