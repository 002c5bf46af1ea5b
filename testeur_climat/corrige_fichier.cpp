#include "testeur_climat/corrige_fichier.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "console/services.hpp"
#include "console/texte.hpp"
#include "testeur_climat/constats.hpp"
#include "testeur_climat/corrections.hpp"
#include "testeur_climat/diff_unifie.hpp"
#include "testeur_climat/editeurs.hpp"

namespace {

// A reason, in Latin-1, why the file is left as it is.
int refuse(const std::string& nom, const std::string& raison) {
  std::fprintf(stderr, "%s: %s\n", nom.c_str(), en_utf8(raison.c_str()).c_str());
  return 2;
}

// All the bytes of an open file; false on a read error.
bool lit_tout(int fd, std::string& octets) {
  char bloc[1 << 16];
  for (;;) {
    const ssize_t n = read(fd, bloc, sizeof bloc);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    octets.append(bloc, static_cast<std::size_t>(n));
  }
}

bool ecrit_tout(int fd, const std::string& octets) {
  for (std::size_t fait = 0; fait < octets.size();) {
    const ssize_t n = write(fd, octets.data() + fait, octets.size() - fait);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    fait += static_cast<std::size_t>(n);
  }
  return true;
}

// The file at the same place, unchanged since it was read.
bool inchange(const char* chemin, const struct stat& lu) {
  struct stat maintenant {};
  return stat(chemin, &maintenant) == 0 && maintenant.st_dev == lu.st_dev && maintenant.st_ino == lu.st_ino &&
         maintenant.st_size == lu.st_size && maintenant.st_mtim.tv_sec == lu.st_mtim.tv_sec &&
         maintenant.st_mtim.tv_nsec == lu.st_mtim.tv_nsec && maintenant.st_nlink == 1;
}

// The new text in a file of its own beside the old one, on the disk, then put
// in its place by a rename: at every moment the file is either all old or
// all new. The signals that would end the program wait meanwhile, so that
// no half-written file is left behind.
int remplace(const std::string& nom, const char* cible, const struct stat& lu, const std::string& nouveau) {
  const std::string dossier = std::string(cible).substr(0, std::string(cible).rfind('/') + 1);
  const std::string base = std::string(cible).substr(dossier.size());
  std::string temporaire = dossier + "." + base + ".corrige.XXXXXX";
  sigset_t attente;
  sigset_t avant;
  sigemptyset(&attente);
  for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP}) sigaddset(&attente, s);
  sigprocmask(SIG_BLOCK, &attente, &avant);
  const auto fin = [&](int statut) {
    sigprocmask(SIG_SETMASK, &avant, nullptr);
    return statut;
  };
  const int fd = mkostemp(temporaire.data(), O_CLOEXEC);
  if (fd < 0)
    return fin(refuse(nom, "le fichier corrigé ne peut pas être écrit à côté de lui ("_l1 + raison_ecriture(errno) +
                               ") : il est laissé tel quel"_l1));
  const bool ecrit = ecrit_tout(fd, nouveau) && fchmod(fd, lu.st_mode & 07777) == 0 &&
                     (fchown(fd, lu.st_uid, lu.st_gid) == 0 || geteuid() != 0) && fsync(fd) == 0;
  const int erreur = errno;
  close(fd);
  if (!ecrit) {
    unlink(temporaire.c_str());
    return fin(refuse(nom, "le fichier corrigé ne peut pas être écrit ("_l1 + raison_ecriture(erreur) +
                               ") : il est laissé tel quel"_l1));
  }
  if (!inchange(cible, lu)) {
    unlink(temporaire.c_str());
    return fin(refuse(nom, "le fichier a changé pendant la vérification : il est laissé tel quel"_l1));
  }
  if (rename(temporaire.c_str(), cible) != 0) {
    const int e = errno;
    unlink(temporaire.c_str());
    return fin(refuse(nom, "le fichier corrigé ne peut pas prendre sa place ("_l1 + raison_ecriture(e) +
                               ") : il est laissé tel quel"_l1));
  }
  // The rename itself reaches the disk with the folder.
  const int d = open(dossier.empty() ? "." : dossier.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (d >= 0) {
    fsync(d);
    close(d);
  }
  return fin(0);
}

// The findings the corrected text still draws.
struct compte final : rapport_constats {
  void rapporte(const constat&) override {}
};

}  // namespace

int corrige_fichier(const char* nom, bool en_place, bool avertissements_bloquants) {
  const std::string affiche = nom_visible(nom);
  if (std::strcmp(nom, "-") == 0)
    return refuse(affiche, "l'entrée standard ne se corrige pas : donnez le nom du fichier"_l1);
  // Through a symbolic link, the file it names is corrected and the link stays.
  const std::unique_ptr<char, decltype(&std::free)> cible(realpath(nom, nullptr), &std::free);
  if (cible == nullptr) return refuse(affiche, "illisible : " + raison_lecture(errno));
  const int fd = open(cible.get(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return refuse(affiche, "illisible : " + raison_lecture(errno));
  struct stat lu {};
  std::string octets;
  const bool ordinaire = fstat(fd, &lu) == 0 && S_ISREG(lu.st_mode);
  const bool lisible = ordinaire && lit_tout(fd, octets);
  close(fd);
  if (!ordinaire) return refuse(affiche, "ce n'est pas un fichier ordinaire : il n'est pas corrigé"_l1);
  if (!lisible) return refuse(affiche, "illisible : erreur de lecture");
  if (en_place && lu.st_nlink > 1)
    return refuse(affiche, "ce fichier a plusieurs noms (liens physiques) : le corriger en place les séparerait, il est laissé tel quel"_l1);

  std::vector<correction> faites;
  const std::string nouveau = corrige(octets, true, &faites);
  if (!en_place) {
    const std::string diff = diff_unifie(octets, nouveau, nom);
    if (std::fwrite(diff.data(), 1, diff.size(), stdout) != diff.size() || std::fflush(stdout) != 0)
      return refuse(affiche, "écriture impossible sur la sortie standard : "_l1 + raison_ecriture(errno));
  } else if (nouveau != octets) {
    const int statut = remplace(affiche, cible.get(), lu, nouveau);
    if (statut != 0) return statut;
  }
  for (const correction& c : faites)
    std::fprintf(stderr, "%s:%d: correction: %s [%s]\n", affiche.c_str(), c.ligne, en_utf8(c.titre.c_str()).c_str(),
                 nom_du_code(c.code).c_str());
  compte reste;
  const compteurs n = verifie_octets(nouveau.data(), nouveau.size(), reste);
  std::fprintf(stderr, "%s : %zu correction%s, il reste %d erreur%s, %d avertissement%s\n", affiche.c_str(), faites.size(),
               faites.size() > 1 ? "s" : "", n.erreurs, n.erreurs > 1 ? "s" : "", n.avertissements,
               n.avertissements > 1 ? "s" : "");
  return n.erreurs > 0 || (avertissements_bloquants && n.avertissements > 0) ? 1 : 0;
}
