#include "cadrage.hpp"

#include <algorithm>

#include "chaines.hpp"
#include "protocole_lsp.hpp"

namespace {

// A header block longer than this has lost its framing; a body longer than
// this is passed over unread, so that memory stays bounded by the documents.
constexpr std::size_t ENTETE_MAX = 8192;
constexpr std::size_t CORPS_MAX = std::size_t{256} << 20;
// A body above this size gives its memory back as soon as it is read.
constexpr std::size_t CORPS_VOLUMINEUX = std::size_t{1} << 20;

}  // namespace

std::string cadre(std::string_view corps) {
  std::string message = "Content-Length: " + std::to_string(corps.size()) + "\r\n\r\n";
  message += corps;
  return message;
}

long long cadrage::longueur_annoncee(std::size_t lu, std::size_t fin) const {
  // Content-Length is the header that matters, whatever its case.
  long long longueur = -1;
  for (std::size_t ligne = lu; ligne < fin;) {
    const std::size_t bout = std::min(entree.find("\r\n", ligne), fin);
    const std::string_view en_tete(entree.data() + ligne, bout - ligne);
    const std::size_t deux_points = en_tete.find(':');
    std::string nom(en_tete.substr(0, std::min(deux_points, en_tete.size())));
    std::transform(nom.begin(), nom.end(), nom.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    if (deux_points != std::string_view::npos && nom == "content-length") {
      std::string_view valeur = en_tete.substr(deux_points + 1);
      while (!valeur.empty() && (valeur.front() == ' ' || valeur.front() == '\t')) valeur.remove_prefix(1);
      while (!valeur.empty() && (valeur.back() == ' ' || valeur.back() == '\t')) valeur.remove_suffix(1);
      longueur = valeur.empty() || valeur.size() > 18 ? -1 : 0;
      for (char c : valeur) longueur = longueur < 0 || c < '0' || c > '9' ? -1 : longueur * 10 + (c - '0');
    }
    ligne = bout + 2;
  }
  return longueur;
}

bool cadrage::recoit(const char* octets, std::size_t taille) {
  if (fini) return false;
  // A body too large to keep is passed over as it comes.
  const std::size_t saute = std::min(a_ignorer, taille);
  a_ignorer -= saute;
  entree.append(octets + saute, taille - saute);
  std::size_t lu = 0;
  while (!fini) {
    if (dans_un_corps) {
      if (entree.size() - lu < corps_attendu) break;
      dans_un_corps = false;
      if (lu + corps_attendu == entree.size() && corps_attendu > CORPS_VOLUMINEUX) {
        // A large body that ends the input so far: its bytes are given back
        // once parsed, before its document is analysed.
        std::string tampon;
        tampon.swap(entree);
        const std::string_view corps(tampon.data() + lu, corps_attendu);
        lu = 0;
        fini = !recu(corps, &tampon);
        continue;
      }
      const std::string_view corps(entree.data() + lu, corps_attendu);
      lu += corps_attendu;
      fini = !recu(corps, nullptr);
      if (corps_attendu > CORPS_VOLUMINEUX) {
        // Messages came after it: what it took is given back at once.
        entree.erase(0, lu);
        lu = 0;
        entree.shrink_to_fit();
      }
      continue;
    }
    const std::size_t fin = entree.find("\r\n\r\n", lu);
    if (fin == std::string::npos) {
      if (entree.size() - lu > ENTETE_MAX) {
        signale(ILLISIBLE, "En-tête de message trop long : le cadrage est perdu."_l1);
        lu = entree.size() - 3;
      }
      break;
    }
    const long long longueur = longueur_annoncee(lu, fin);
    lu = fin + 4;
    if (longueur < 0) {
      signale(ILLISIBLE, "Message sans Content-Length valide."_l1);
    } else if (static_cast<unsigned long long>(longueur) > CORPS_MAX) {
      signale(REQUETE_INVALIDE, "Message trop long (plus de 256 Mio) : il est ignoré."_l1);
      const std::size_t present = std::min(entree.size() - lu, static_cast<std::size_t>(longueur));
      lu += present;
      a_ignorer = static_cast<std::size_t>(longueur) - present;
    } else {
      corps_attendu = static_cast<std::size_t>(longueur);
      dans_un_corps = true;
      // Room for the whole body at once: grown by doubling, the buffer of a
      // large document would take up to twice its size.
      if (entree.capacity() < lu + corps_attendu) entree.reserve(lu + corps_attendu);
    }
  }
  entree.erase(0, lu);
  // What a large message took is given back once it is read.
  if (!dans_un_corps && entree.capacity() > CORPS_VOLUMINEUX && entree.size() < entree.capacity() / 4)
    entree.shrink_to_fit();
  return !fini;
}
