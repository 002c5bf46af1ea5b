// The suite's string utilities: Latin-1 texts as byte strings, the cuts
// that step from field to field of a line, what the system's errors mean in
// words, names made safe to show. Nothing here writes to the terminal or
// to a file: the checker uses them and knows nothing of the console.
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

// A decimal digit, "0" to "9": no byte above 127 is one (std::isdigit on a
// plain char is undefined for them).
inline bool chiffre(char c) { return c >= '0' && c <= '9'; }

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

// A Latin-1 text in UTF-8, every byte of it, a NUL among them.
std::string en_utf8(std::string_view latin1);

// A message on one line: its line feeds, with the blanks around them, become
// one blank; a final one goes.
std::string sur_une_ligne(const std::string& message);

// Cuts the text at the first CR or LF among its last five characters.
void Efface_n(char* texte);

// What an error number of the system means, in French words (Latin-1).
std::string raison_systeme(int erreur);
// Why a write failed, in words (Latin-1).
std::string raison_ecriture(int erreur);
// Why a file could not be opened or read, in words (Latin-1).
std::string raison_lecture(int erreur);
