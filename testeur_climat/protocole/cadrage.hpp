// The framing of the Language Server Protocol: each message is a header
// block ("Content-Length: N", other headers, an empty line) then N bytes of
// JSON. Bytes come in as they arrive, whole messages go out.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

// A message as it is written: its header, then its body.
std::string cadre(std::string_view corps);

class cadrage {
 public:
  // Receives each whole body; `a_liberer`, when given, holds its bytes and
  // may be emptied as soon as they are parsed. Returns false to stop reading.
  using corps_recu = std::function<bool(std::string_view corps, std::string* a_liberer)>;
  // A framing fault: JSON-RPC's error code and its message, in Latin-1.
  using faute = std::function<void(int code, const char* message)>;

  cadrage(corps_recu pour_chaque_corps, faute f) : recu(std::move(pour_chaque_corps)), signale(std::move(f)) {}

  // Takes the next bytes of the input. Returns false once a body has said
  // to stop: nothing more is read.
  bool recoit(const char* octets, std::size_t taille);

 private:
  // Reads the header block that ends at `fin`, from `lu`: the body's length,
  // or -1 without a valid Content-Length.
  long long longueur_annoncee(std::size_t lu, std::size_t fin) const;

  corps_recu recu;
  faute signale;
  std::string entree;             // bytes received and not yet used
  std::size_t corps_attendu = 0;  // the body's length, once its header is read
  bool dans_un_corps = false;
  std::size_t a_ignorer = 0;  // bytes of a body too large to be kept
  bool fini = false;
};
