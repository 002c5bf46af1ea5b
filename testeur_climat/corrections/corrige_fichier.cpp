#include "corrige_fichier.hpp"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "chaines.hpp"
#include "constats.hpp"
#include "corrections.hpp"
#include "diff_unifie.hpp"

namespace {

// Why the file is left as it is, in Latin-1, said on standard error; the
// file's status is then 2.
int laisse_tel_quel(const std::string& nom, const std::string& raison) {
  std::fprintf(stderr, "%s: %s\n", nom.c_str(), en_utf8(raison).c_str());
  return 2;
}

// A descriptor closed when it goes out of scope.
struct descripteur {
  int fd;
  explicit descripteur(int f) : fd(f) {}
  descripteur(const descripteur&) = delete;
  descripteur& operator=(const descripteur&) = delete;
  ~descripteur() {
    if (fd >= 0) close(fd);
  }
};

// All the bytes of an open file; false on a read error. (No signal handler
// is installed: no read or write here is ever interrupted.)
bool lit_tout(int fd, std::string& octets) {
  char bloc[1 << 16];
  for (;;) {
    const ssize_t n = read(fd, bloc, sizeof bloc);
    if (n < 0) return false;
    if (n == 0) return true;
    octets.append(bloc, static_cast<std::size_t>(n));
  }
}

bool ecrit_tout(int fd, const std::string& octets) {
  for (std::size_t fait = 0; fait < octets.size();) {
    const ssize_t n = write(fd, octets.data() + fait, octets.size() - fait);
    if (n <= 0) return false;
    fait += static_cast<std::size_t>(n);
  }
  return true;
}

bool meme_fichier(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// The folder that holds the file opened as `lu` under the name `nom`, opened
// once: every later step works in it, whatever its name comes to mean
// meanwhile. The name's folders are followed by the system as any opening
// follows them, with the caller's rights; a symbolic link at its end is
// followed to the folder of its target, and the file found there must be
// the one that was opened. Returns the folder's descriptor and, in `base`,
// the file's name in it; -1 (with errno) when they cannot be found, or the
// file found is another.
int dossier_du_fichier(const char* nom, const struct stat& lu, std::string& base) {
  std::string chemin = nom;
  int dossier = AT_FDCWD;
  // As many links as an opening follows (40), then the file itself.
  for (int liens = 0; liens <= 40; ++liens) {
    const std::size_t barre = chemin.rfind('/');
    base = chemin.substr(barre == std::string::npos ? 0 : barre + 1);
    const std::string nom_du_dossier =
        barre == std::string::npos ? "." : barre == 0 ? "/" : chemin.substr(0, barre);
    const int suivant = openat(dossier, nom_du_dossier.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dossier != AT_FDCWD) close(dossier);
    if (suivant < 0) return -1;
    dossier = suivant;
    struct stat la {};
    if (fstatat(dossier, base.c_str(), &la, AT_SYMLINK_NOFOLLOW) != 0) break;
    if (!S_ISLNK(la.st_mode)) {
      if (meme_fichier(la, lu)) return dossier;
      break;
    }
    std::string cible(4096, '\0');
    const ssize_t n = readlinkat(dossier, base.c_str(), cible.data(), cible.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= cible.size()) break;
    cible.resize(static_cast<std::size_t>(n));
    chemin = cible;
  }
  close(dossier);
  errno = ESTALE;
  return -1;
}

// The extended attributes of `de` (its access control list among them) set
// on `vers`; false, with the name of the one that could not be, otherwise.
bool recopie_les_attributs(int de, int vers, std::string& refuse) {
  std::vector<char> noms(1024);
  ssize_t n = 0;
  while ((n = flistxattr(de, noms.data(), noms.size())) < 0 && errno == ERANGE) noms.resize(noms.size() * 4);
  if (n < 0) return errno == ENOTSUP;  // a file system without them
  for (const char* a = noms.data(); a < noms.data() + n; a += std::strlen(a) + 1) {
    std::vector<char> valeur(256);
    ssize_t v = 0;
    while ((v = fgetxattr(de, a, valeur.data(), valeur.size())) < 0 && errno == ERANGE) valeur.resize(valeur.size() * 4);
    if (v < 0 || fsetxattr(vers, a, valeur.data(), static_cast<std::size_t>(v), 0) != 0) {
      refuse = a;
      return false;
    }
  }
  return true;
}

// The file, as it was read, still under its name in its folder.
bool toujours_la(int dossier, const std::string& base, const struct stat& lu) {
  struct stat maintenant {};
  return fstatat(dossier, base.c_str(), &maintenant, AT_SYMLINK_NOFOLLOW) == 0 && meme_fichier(maintenant, lu) &&
         maintenant.st_size == lu.st_size && maintenant.st_mtim.tv_sec == lu.st_mtim.tv_sec &&
         maintenant.st_mtim.tv_nsec == lu.st_mtim.tv_nsec && maintenant.st_nlink == 1;
}

// A new file of its own beside the old one, in the same folder, that no one
// else can have made: ".NOM.corrige." and random letters.
int fichier_temporaire(int dossier, const std::string& base, std::string& nom) {
  for (int essai = 0; essai < 100; ++essai) {
    unsigned char hasard[8];
    if (getrandom(hasard, sizeof hasard, 0) != static_cast<ssize_t>(sizeof hasard)) return -1;
    nom.assign(1, '.');
    nom.append(base, 0, 200);
    nom += ".corrige.";
    for (const unsigned char h : hasard) nom += "abcdefghijklmnopqrstuvwxyz0123456789"[h % 36];
    const int fd = openat(dossier, nom.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// The new text in a file of its own beside the old one, on the disk, with
// the old one's owner, mode, access control list and extended attributes,
// then put in its place by a rename in the same folder: at every moment the
// file is either all old or all new, and nothing is left of a run that
// fails. The signals that would end the program wait meanwhile.
int remplace(const char* chemin, const std::string& nom, int ancien, const struct stat& lu, const std::string& nouveau) {
  std::string base;
  const descripteur dossier(dossier_du_fichier(chemin, lu, base));
  if (dossier.fd < 0)
    return laisse_tel_quel(nom, "le dossier du fichier ne peut pas être ouvert, ou le fichier a changé de place pendant "
                                "la vérification : il est laissé tel quel"_l1);
  sigset_t attente;
  sigset_t avant;
  sigemptyset(&attente);
  for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP}) sigaddset(&attente, s);
  sigprocmask(SIG_BLOCK, &attente, &avant);
  std::string temporaire;
  const descripteur fd(fichier_temporaire(dossier.fd, base, temporaire));
  if (fd.fd < 0) {
    const int erreur = errno;
    sigprocmask(SIG_SETMASK, &avant, nullptr);
    return laisse_tel_quel(nom, "le fichier corrigé ne peut pas être écrit à côté de lui ("_l1 + raison_ecriture(erreur) +
                                    ") : il est laissé tel quel"_l1);
  }
  const auto echec = [&](const std::string& raison) {
    unlinkat(dossier.fd, temporaire.c_str(), 0);
    sigprocmask(SIG_SETMASK, &avant, nullptr);
    return laisse_tel_quel(nom, raison);
  };
  if (!ecrit_tout(fd.fd, nouveau))
    return echec("le fichier corrigé ne peut pas être écrit ("_l1 + raison_ecriture(errno) + ") : il est laissé tel quel"_l1);
  // The owner and the group first (a change of owner clears the set-user-ID
  // bit), then the mode, then the access control list, which sets the
  // group's bits of the mode again. Only root gives a file to another user:
  // a file that is not the caller's own stays as it is.
  struct stat nouveau_fichier {};
  if (fstat(fd.fd, &nouveau_fichier) == 0 && (nouveau_fichier.st_uid != lu.st_uid || nouveau_fichier.st_gid != lu.st_gid))
    [[maybe_unused]] const int ignore = fchown(fd.fd, lu.st_uid, lu.st_gid);
  if (fstat(fd.fd, &nouveau_fichier) != 0 || nouveau_fichier.st_uid != lu.st_uid || nouveau_fichier.st_gid != lu.st_gid)
    return echec("le fichier corrigé ne pourrait pas garder son propriétaire et son groupe : il est laissé tel quel"_l1);
  if (fchmod(fd.fd, lu.st_mode & 07777) != 0)
    return echec("le fichier corrigé ne pourrait pas garder ses permissions : il est laissé tel quel"_l1);
  std::string attribut;
  if (!recopie_les_attributs(ancien, fd.fd, attribut))
    return echec("l'attribut étendu « "_l1 + attribut + " » ne peut pas être recopié ("_l1 + raison_ecriture(errno) +
                      ") : le fichier est laissé tel quel"_l1);
  if (fsync(fd.fd) != 0)
    return echec("le fichier corrigé ne peut pas être écrit ("_l1 + raison_ecriture(errno) + ") : il est laissé tel quel"_l1);
  if (!toujours_la(dossier.fd, base, lu)) return echec("le fichier a changé pendant la vérification : il est laissé tel quel"_l1);
  if (renameat(dossier.fd, temporaire.c_str(), dossier.fd, base.c_str()) != 0)
    return echec("le fichier corrigé ne peut pas prendre sa place ("_l1 + raison_ecriture(errno) + ") : il est laissé tel quel"_l1);
  // The rename itself reaches the disk with the folder.
  fsync(dossier.fd);
  sigprocmask(SIG_SETMASK, &avant, nullptr);
  return 0;
}

// Whether the file is the one standard input reads, whatever its name
// ("-", /dev/stdin, /proc/self/fd/0...).
bool entree_standard(const struct stat& lu) {
  struct stat entree {};
  return fstat(0, &entree) == 0 && meme_fichier(entree, lu);
}

// What is left of the corrected text is counted, not shown.
struct sans_rapport final : rapport_constats {
  void rapporte(const constat&) override {}
};

}  // namespace

int corrige_fichier(const char* nom, bool en_place, bool avertissements_bloquants) {
  const std::string affiche = nom_visible(nom);
  constexpr const char* ENTREE = "l'entrée standard ne se corrige pas : donnez le nom du fichier"_l1;
  if (std::strcmp(nom, "-") == 0) return laisse_tel_quel(affiche, ENTREE);
  // Opened as any program of the caller's opens it: a symbolic link that the
  // system refuses to follow for this caller (a link another user planted in
  // a shared folder) is refused here too.
  const descripteur fd(open(nom, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.fd < 0) return laisse_tel_quel(affiche, "illisible : " + raison_lecture(errno));
  struct stat lu {};
  std::string octets;
  const bool ordinaire = fstat(fd.fd, &lu) == 0 && S_ISREG(lu.st_mode);
  if (!ordinaire) return laisse_tel_quel(affiche, "ce n'est pas un fichier ordinaire : il n'est pas corrigé"_l1);
  if (entree_standard(lu)) return laisse_tel_quel(affiche, ENTREE);
  if (!lit_tout(fd.fd, octets)) return laisse_tel_quel(affiche, "illisible : " + raison_lecture(errno));
  if (en_place && lu.st_nlink > 1)
    return laisse_tel_quel(
        affiche, "ce fichier a plusieurs noms (liens physiques) : le corriger en place les séparerait, il est laissé tel quel"_l1);

  std::vector<correction> faites;
  const std::string nouveau = corrige(octets, true, &faites);
  if (!en_place) {
    const std::string diff = diff_unifie(octets, nouveau, nom);
    if (std::fwrite(diff.data(), 1, diff.size(), stdout) != diff.size() || std::fflush(stdout) != 0)
      return laisse_tel_quel(affiche, "écriture impossible sur la sortie standard : "_l1 + raison_ecriture(errno));
  } else if (nouveau != octets) {
    const int statut = remplace(nom, affiche, fd.fd, lu, nouveau);
    if (statut != 0) return statut;
  }
  for (const correction& c : faites)
    std::fprintf(stderr, "%s:%d: correction: %s [%s]\n", affiche.c_str(), c.ligne, en_utf8(c.titre).c_str(),
                 nom_du_code(c.code).c_str());
  sans_rapport reste;
  const compteurs n = verifie_octets(nouveau.data(), nouveau.size(), reste);
  std::fprintf(stderr, "%s : %zu correction%s, il reste %d erreur%s, %d avertissement%s\n", affiche.c_str(), faites.size(),
               faites.size() > 1 ? "s" : "", n.erreurs, n.erreurs > 1 ? "s" : "", n.avertissements,
               n.avertissements > 1 ? "s" : "");
  return n.erreurs > 0 || (avertissements_bloquants && n.avertissements > 0) ? 1 : 0;
}
