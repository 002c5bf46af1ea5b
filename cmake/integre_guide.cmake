# Writes a C++ source that holds a file's bytes: the authors' guide, whose
# sections the language server shows. Run as
#   cmake -DENTREE=guide.md -DSORTIE=guide.cpp -P integre_guide.cmake
file(READ "${ENTREE}" contenu HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," octets "${contenu}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" octets "${octets}")
file(WRITE "${SORTIE}.tmp" "#include <cstddef>\nextern const unsigned char GUIDE_CLIMAT[] = {\n${octets}0};\n"
     "extern const std::size_t TAILLE_GUIDE_CLIMAT = sizeof GUIDE_CLIMAT - 1;\n")
file(RENAME "${SORTIE}.tmp" "${SORTIE}")
