// Console text output and the small in-place string operations of the suite.
// Texts are Latin-1 bytes; only what reaches the terminal is converted.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A string literal written in UTF-8 in the source and stored as Latin-1 bytes,
// so that messages read naturally here and still reach "Erreur.log" in the
// encoding of the climate files. A character outside Latin-1 does not compile.
template <std::size_t N>
struct texte_latin1 {
  char octets[N]{};
  consteval texte_latin1(const char (&utf8)[N]) {
    std::size_t j = 0;
    for (std::size_t i = 0; i < N; ++i) {
      const auto c = static_cast<unsigned char>(utf8[i]);
      if ((c == 0xC2 || c == 0xC3) && i + 1 < N) {
        const auto suite = static_cast<unsigned char>(utf8[i + 1]);
        octets[j++] = static_cast<char>(((c & 0x03) << 6) | (suite & 0x3F));
        ++i;
      } else {
        if (c >= 0x80) throw "caractere hors de Latin-1";
        octets[j++] = static_cast<char>(c);
      }
    }
  }
};

template <texte_latin1 T>
constexpr const char* operator""_l1() {
  return T.octets;
}

// Shared result buffer of the conversions; valid until the next one.
inline constexpr std::size_t TAILLE_CHFUNC = 4096;
extern char chfunc[TAILLE_CHFUNC];

// Length of the converted form of `texte`, without its NUL.
std::size_t longueur_convertie(const char* texte);

// Converts a Latin-1 text for the terminal: 0xE0..0xFF become 0xC3 and the
// byte minus 0x40, an existing 0xC3 pair is kept, every other byte is copied.
// Never writes more than `taille` bytes; a pair that does not fit is left out.
char* linux_acc(const char* texte, char* sortie, std::size_t taille);
char* acc(const char* texte, char* sortie, std::size_t taille);

// Whether the text is well-formed UTF-8 (a path typed in a UTF-8 terminal):
// such a text is handed to the system as it is, never converted again.
bool utf8_valide(const char* texte);

// A name (a path) whose bytes that begin no UTF-8 character are written
// \xHH, so that two names never look alike; UTF-8 is kept as it is.
std::string octets_echappes(const char* nom);
// A UTF-8 text as a terminal can show it without obeying it: control
// characters in caret notation, DEL as ^?, the C1 controls (U+0080 to U+009F)
// as M-^X.
std::string visible(std::string_view texte);
// Both: how every name reaches the terminal.
std::string nom_visible(const char* nom);

// Prints a Latin-1 text converted, adds no line end.
void putsacc(const char* texte);

// Removes everything up to and including the first occurrence of `motif`.
void Efface_char(char* texte, const char* motif);

// Cuts the text at the first CR or LF among its last five characters.
void Efface_n(char* texte);

inline constexpr int TAILLE_INDEX = 50;
// Positions of every occurrence of `motif`, overlapping ones included.
// A 51st occurrence ends the program.
int index_ch(const char* texte, const char* motif, int* positions);
