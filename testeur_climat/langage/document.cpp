#include "document.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <utility>

#include "chaines.hpp"
#include "corrections.hpp"

namespace {

// One code point of a UTF-8 text of `taille` bytes at `i`, the bytes read
// through `t[...]`: its value and its length. The JSON library only hands
// over valid UTF-8; a stray byte counts as one character.
template <typename Texte>
std::pair<char32_t, std::size_t> point_de_code(const Texte& t, std::size_t taille, std::size_t i) {
  const auto c = static_cast<unsigned char>(t[i]);
  const std::size_t n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  if (n == 1 || i + n > taille) return {c, 1};
  char32_t v = c & (0x7F >> n);
  for (std::size_t k = 1; k < n; ++k) v = (v << 6) | (static_cast<unsigned char>(t[i + k]) & 0x3F);
  return {v, n};
}
std::pair<char32_t, std::size_t> point_de_code(std::string_view t, std::size_t i) { return point_de_code(t, t.size(), i); }

int unites_utf16(char32_t c) { return c >= 0x10000 ? 2 : 1; }

// The byte of the character `caractere` (in UTF-16 units) of the line that
// runs from `i` to `fin`; its end when the line is shorter.
template <typename Texte>
std::size_t caractere_dans(const Texte& t, std::size_t taille, std::size_t i, std::size_t fin, long long caractere) {
  for (long long unites = 0; i < fin;) {
    const auto [c, n] = point_de_code(t, taille, i);
    if (unites + unites_utf16(c) > caractere) break;
    unites += unites_utf16(c);
    i += n;
  }
  return i;
}

// Where a line ends, its line break aside, from the start of the next one.
template <typename Texte>
std::size_t fin_avant_saut(const Texte& t, std::size_t debut, std::size_t suivante) {
  if (t[suivante - 1] == '\n') --suivante;
  if (suivante > debut && t[suivante - 1] == '\r') --suivante;
  return suivante;
}

// The finding for a run of characters that Latin-1 lacks, on one line: one
// for the whole run, however long, naming its first character.
trouvaille hors_latin1(std::string_view premier, char32_t c, position_lsp debut, position_lsp fin, int nombre) {
  char modele[200];
  if (nombre == 1)
    std::snprintf(modele, sizeof modele,
                  "Le caractère « \x01 » (U+%04X) ne peut pas s'écrire en Latin-1 : un fichier de climat ne peut pas le contenir."_l1,
                  static_cast<unsigned>(c));
  else
    std::snprintf(modele, sizeof modele,
                  "Les %d caractères qui commencent par « \x01 » (U+%04X) ne peuvent pas s'écrire en Latin-1 : un fichier de climat ne peut pas les contenir."_l1,
                  nombre, static_cast<unsigned>(c));
  std::string message = en_utf8(modele);
  message.replace(message.find('\x01'), 1, premier);
  return {debut, fin, ERREUR, 801, std::move(message), {-1, 0}, {}};
}

// What the pass reports on one document, in its own lines and columns: only
// the first `plafond` findings are kept, the others counted (the pass
// reports them in file order).
struct collecte final : rapport_constats {
  struct trouve {
    constat c;
    std::string message;
  };
  std::vector<trouve> constats;
  std::size_t non_gardes = 0;
  std::size_t plafond = DIAGNOSTICS_MAX;
  std::vector<symbole> symboles;
  void rapporte(const constat& c) override {
    if (constats.size() >= plafond) {
      ++non_gardes;
      return;
    }
    constats.push_back({c, sur_une_ligne(en_utf8(message_lisible(c)))});
  }
  void paragraphe(etape_passe etape, int ligne_editeur) override { symboles.push_back({etape, ligne_editeur}); }
};

// The bytes of a regular file, at most `limite` of them; empty for anything
// else. Opened without waiting (a FIFO would block), then looked at: never a
// device, a pipe, or one of the server's own streams.
std::string lit_fichier_ordinaire(const std::string& chemin, std::size_t limite) {
  if (chemin.empty()) return {};
  const int fd = open(chemin.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return {};
  struct stat etat {};
  bool ordinaire = fstat(fd, &etat) == 0 && S_ISREG(etat.st_mode);
  for (int flux = 0; flux <= 2 && ordinaire; ++flux) {
    struct stat f {};
    ordinaire = fstat(flux, &f) != 0 || f.st_dev != etat.st_dev || f.st_ino != etat.st_ino;
  }
  std::string octets;
  char bloc[1 << 16];
  for (ssize_t n = 0; ordinaire && octets.size() < limite && (n = read(fd, bloc, sizeof bloc)) > 0;)
    octets.append(bloc, static_cast<std::size_t>(n));
  close(fd);
  return octets;
}

}  // namespace

// Whether a line begins at `i`: after LF, or after a CR not followed by LF.
// Line breaks are ASCII, which no byte of another UTF-8 character is.
bool document_ouvert::debut_de_ligne(std::size_t i) const {
  return i > 0 && (texte[i - 1] == '\n' || (texte[i - 1] == '\r' && (i >= texte.size() || texte[i] != '\n')));
}

void document_ouvert::indexe_les_lignes() {
  debuts.assign(1, 0);
  for (std::size_t i = 1; i <= texte.size(); ++i)
    if (debut_de_ligne(i)) debuts.push_back(i);
}

void document_ouvert::remplace_tout(std::string nouveau) {
  liens_a_jour = corrige_a_jour = false;
  texte = std::move(nouveau);
  indexe_les_lignes();
}

namespace {

// The text while the changes of one notification are made: a gap at the
// place of the last change, so that a change moves only the bytes between it
// and the one before, and the line starts kept as offsets from the start
// before the gap and from the end after it, so that a change moves no other
// line start. What it costs: the changes' sizes and the distances between
// them, and the text once when it is made whole again.
class texte_a_trou {
 public:
  texte_a_trou(std::string texte, std::vector<std::size_t> debuts)
      : octets(std::move(texte)), taille(octets.size()), trou(taille), apres_trou(taille), avant(std::move(debuts)) {}

  std::size_t longueur() const { return taille; }
  char en(std::size_t i) const { return octets[i < trou ? i : i + apres_trou - trou]; }
  char operator[](std::size_t i) const { return en(i); }
  std::size_t nombre_de_lignes() const { return avant.size() + apres.size(); }
  std::size_t debut(std::size_t l) const {
    return l < avant.size() ? avant[l] : taille - apres[apres.size() - 1 - (l - avant.size())];
  }
  // The byte of a protocol position, as document_ouvert::decalage counts.
  std::size_t decalage(long long ligne, long long caractere) const {
    if (ligne < 0) return 0;
    if (static_cast<std::size_t>(ligne) >= nombre_de_lignes()) return taille;
    const auto l = static_cast<std::size_t>(ligne);
    const std::size_t fin = l + 1 < nombre_de_lignes() ? fin_avant_saut(*this, debut(l), debut(l + 1)) : taille;
    return caractere_dans(*this, taille, debut(l), fin, caractere);
  }
  void remplace(std::size_t a, std::size_t b, std::string_view nouveau) {
    deplace_le_trou(a);
    // The line starts of the bytes removed go; those after them keep their
    // offsets from the end.
    while (!apres.empty() && taille - apres.back() <= b) apres.pop_back();
    apres_trou += b - a;
    taille -= b - a;
    if (apres_trou - trou < nouveau.size()) agrandit(nouveau.size());
    std::copy(nouveau.begin(), nouveau.end(), octets.begin() + static_cast<std::ptrdiff_t>(trou));
    trou += nouveau.size();
    taille += nouveau.size();
    // The bytes written are looked at again, with the one before them (a CR
    // that a LF now follows).
    if (avant.size() > 1 && avant.back() >= a) avant.pop_back();
    for (std::size_t i = std::max<std::size_t>(a, 1); i <= trou; ++i)
      if (debut_de_ligne(i)) avant.push_back(i);
  }
  void rend(std::string& texte, std::vector<std::size_t>& debuts) {
    octets.erase(trou, apres_trou - trou);
    texte = std::move(octets);
    for (auto d = apres.rbegin(); d != apres.rend(); ++d) avant.push_back(taille - *d);
    debuts = std::move(avant);
  }

 private:
  bool debut_de_ligne(std::size_t i) const {
    const char c = en(i - 1);
    return c == '\n' || (c == '\r' && (i >= taille || en(i) != '\n'));
  }
  void deplace_le_trou(std::size_t a) {
    if (a < trou) {
      std::copy_backward(octets.begin() + static_cast<std::ptrdiff_t>(a), octets.begin() + static_cast<std::ptrdiff_t>(trou),
                         octets.begin() + static_cast<std::ptrdiff_t>(apres_trou));
      apres_trou -= trou - a;
      trou = a;
      while (avant.size() > 1 && avant.back() > a) {
        apres.push_back(taille - avant.back());
        avant.pop_back();
      }
    } else if (a > trou) {
      std::copy(octets.begin() + static_cast<std::ptrdiff_t>(apres_trou),
                octets.begin() + static_cast<std::ptrdiff_t>(apres_trou + a - trou), octets.begin() + static_cast<std::ptrdiff_t>(trou));
      apres_trou += a - trou;
      trou = a;
      while (!apres.empty() && taille - apres.back() <= a) {
        avant.push_back(taille - apres.back());
        apres.pop_back();
      }
    }
  }
  void agrandit(std::size_t besoin) {
    const std::size_t reste = octets.size() - apres_trou;
    std::string plus(std::max(2 * octets.size(), taille + besoin + 4096), '\0');
    std::copy(octets.begin(), octets.begin() + static_cast<std::ptrdiff_t>(trou), plus.begin());
    std::copy(octets.end() - static_cast<std::ptrdiff_t>(reste), octets.end(), plus.end() - static_cast<std::ptrdiff_t>(reste));
    apres_trou = plus.size() - reste;
    octets = std::move(plus);
  }

  std::string octets;
  std::size_t taille;      // of the text, the gap aside
  std::size_t trou;        // the gap is [trou, apres_trou) of the bytes
  std::size_t apres_trou;
  std::vector<std::size_t> avant;  // the line starts up to the gap, from the start
  std::vector<std::size_t> apres;  // those after it, from the end, the nearest last
};

}  // namespace

void document_ouvert::change(const std::vector<changement>& changements) {
  liens_a_jour = corrige_a_jour = false;
  texte_a_trou t(std::move(texte), std::move(debuts));
  for (const changement& c : changements) {
    if (!c.partiel) {
      texte = c.texte;
      indexe_les_lignes();
      t = texte_a_trou(std::move(texte), std::move(debuts));
      continue;
    }
    std::size_t a = t.decalage(c.ligne_debut, c.caractere_debut);
    std::size_t b = t.decalage(c.ligne_fin, c.caractere_fin);
    if (b < a) std::swap(a, b);
    t.remplace(a, b, c.texte);
  }
  t.rend(texte, debuts);
}

std::size_t document_ouvert::fin_de_ligne(std::size_t l) const {
  if (l + 1 >= debuts.size()) return texte.size();
  // A line that is followed by another ends with its line break.
  return fin_avant_saut(texte, debuts[l], debuts[l + 1]);
}

int document_ouvert::longueur(std::size_t l) const { return longueur_utf16(ligne(l)); }

std::size_t document_ouvert::decalage(long long ligne, long long caractere) const {
  if (ligne < 0) return 0;
  if (static_cast<std::size_t>(ligne) >= debuts.size()) return texte.size();
  const auto l = static_cast<std::size_t>(ligne);
  return caractere_dans(texte, texte.size(), debuts[l], fin_de_ligne(l), caractere);
}

std::string document_ouvert::octets_latin1(std::vector<std::size_t>& hors_latin1) const {
  std::string octets;
  octets.reserve(texte.size());
  for (std::size_t i = 0; i < texte.size();) {
    const auto [c, taille] = point_de_code(texte, i);
    i += taille;
    if (c > 0xFF) hors_latin1.push_back(octets.size());
    octets += c > 0xFF ? '?' : static_cast<char>(c);
  }
  return octets;
}

std::vector<position_lsp> document_ouvert::positions_des_caracteres(const std::vector<std::size_t>& n) const {
  // One walk over the text for them all, in their order.
  std::vector<std::size_t> ordre(n.size());
  std::iota(ordre.begin(), ordre.end(), std::size_t{0});
  std::sort(ordre.begin(), ordre.end(), [&](std::size_t a, std::size_t b) { return n[a] < n[b]; });
  std::vector<position_lsp> r(n.size());
  position_lsp ici;
  std::size_t i = 0;
  std::size_t caractere = 0;
  for (const std::size_t k : ordre) {
    for (; caractere < n[k] && i < texte.size(); ++caractere) {
      const auto [c, taille] = point_de_code(texte, i);
      i += taille;
      if (debut_de_ligne(i))
        ici = {ici.ligne + 1, 0};
      else
        ici.caractere += unites_utf16(c);
    }
    r[k] = ici;
  }
  return r;
}

position_lsp document_ouvert::position_du_caractere(std::size_t n) const { return positions_des_caracteres({n}).front(); }

void document_ouvert::situe(std::vector<demande>& demandes) const {
  std::sort(demandes.begin(), demandes.end(), [](const demande& a, const demande& b) {
    return a.ligne_passe != b.ligne_passe ? a.ligne_passe < b.ligne_passe : a.colonne < b.colonne;
  });
  // The walk: a byte of the text, the pass's line and character there, and
  // the editor's line and UTF-16 unit.
  std::size_t i = 0;
  int ligne_passe = 1;
  int colonne = 0;
  position_lsp ici;
  for (demande& d : demandes) {
    while (ligne_passe < d.ligne_passe) {
      const void* saut = std::memchr(texte.data() + i, '\n', texte.size() - i);
      if (saut == nullptr) break;
      i = static_cast<std::size_t>(static_cast<const char*>(saut) - texte.data()) + 1;
      ++ligne_passe;
      colonne = 0;
      // After a line feed an editor's line begins.
      ici = {static_cast<int>(std::lower_bound(debuts.begin(), debuts.end(), i) - debuts.begin()), 0};
    }
    if (ligne_passe < d.ligne_passe) {
      *d.sortie = {derniere, -1};
      continue;
    }
    while (colonne < d.colonne && i < texte.size() && texte[i] != '\n') {
      const auto [c, taille] = point_de_code(texte, i);
      i += taille;
      ++colonne;
      if (debut_de_ligne(i))
        ici = {ici.ligne + 1, 0};  // a lone CR
      else
        ici.caractere += unites_utf16(c);
    }
    *d.sortie = ici.ligne > derniere ? position_lsp{derniere, -1} : ici;
  }
}

std::vector<lien_place> document_ouvert::places(const std::vector<const lien*>& choisis) const {
  std::vector<lien_place> places(choisis.size());
  std::vector<demande> demandes;
  demandes.reserve(2 * choisis.size());
  for (std::size_t k = 0; k < choisis.size(); ++k) {
    places[k].l = *choisis[k];
    demandes.push_back({choisis[k]->ou.ligne, choisis[k]->ou.colonne, &places[k].debut});
    demandes.push_back({choisis[k]->ou.ligne, choisis[k]->ou.colonne_fin, &places[k].fin});
  }
  situe(demandes);
  return places;
}

int document_ouvert::ligne_de_la_passe(long long l) const {
  const auto fin = static_cast<std::ptrdiff_t>(decalage(l, 0));
  return 1 + static_cast<int>(std::count(texte.begin(), texte.begin() + fin, '\n'));
}

std::vector<lien_place> document_ouvert::liens_de_la_ligne(std::size_t l) const {
  if (l >= debuts.size()) return {};
  // The links come in the pass's order of lines.
  const int ligne_passe = ligne_de_la_passe(static_cast<long long>(l));
  const std::vector<lien>& tous = liens();
  const auto premier = std::lower_bound(tous.begin(), tous.end(), ligne_passe,
                                        [](const lien& n, int ligne) { return n.ou.ligne < ligne; });
  std::vector<const lien*> choisis;
  for (auto n = premier; n != tous.end() && n->ou.ligne == ligne_passe; ++n) choisis.push_back(&*n);
  std::vector<lien_place> sur_la_ligne = places(choisis);
  // A lone CR ends an editor's line inside the pass's.
  std::erase_if(sur_la_ligne, [&](const lien_place& p) { return p.debut.ligne != static_cast<int>(l); });
  return sur_la_ligne;
}

void document_ouvert::analyse() {
  climat = climat || texte.rfind("Latitude=", 0) == 0;
  if (!climat) {
    trouvailles.clear();
    non_montrees = 0;
    totaux = {};
    symboles.clear();
    modele_lu = {};
    std::vector<lien>().swap(liens_lus);
    liens_a_jour = false;
    return;
  }
  std::vector<trouvaille> hors;  // the runs of characters Latin-1 lacks
  std::size_t hors_non_gardes = 0;
  std::string octets = octets_de_la_passe(&hors, &hors_non_gardes);
  // What each finding follows from, looked for by repairs the pass confirms.
  const std::vector<filiation> filiations_du_texte = avec_causes ? filiations(octets) : std::vector<filiation>();

  collecte rapport;
  rapport.plafond = plafond;
  // The model of the text before is dropped; the links' room is kept for
  // those of this one, which are about as many, should an editor ask.
  liens_lus.clear();
  liens_a_jour = false;
  totaux = verifie_octets(octets.data(), octets.size(), rapport);
  octets = std::string();
  derniere = static_cast<int>(debuts.size()) - (debuts.size() > 1 && debuts.back() == texte.size() ? 2 : 1);

  // From the pass's lines and characters to the editor's, with the line
  // behind a finding: the list its number should be in, or the start of a
  // line too long to be read at once.
  std::vector<trouvaille> trouvees;
  trouvees.reserve(rapport.constats.size());
  std::vector<demande> demandes;
  std::vector<position_lsp> lignes_des_symboles(rapport.symboles.size());
  for (const collecte::trouve& t : rapport.constats) {
    trouvaille& n = trouvees.emplace_back(
        trouvaille{{}, {}, t.c.type, t.c.code, t.message, {-1, 0}, {}, t.c.ligne_editeur, t.c.colonne + 1});
    if (t.c.ligne_liee > 0) {
      for (const symbole& s : rapport.symboles)
        if (s.ligne == t.c.ligne_liee)
          n.message_lien = en_utf8(("Le paragraphe "_l1 + std::string(nom_du_paragraphe(s.etape)) + " commence ici.").c_str());
      n.lien.ligne = 0;
    } else if (t.c.colonne_morceau > 0) {
      char message[200];
      std::snprintf(message, sizeof message,
                    "Cette ligne a plus de 254 caractères : à partir de sa colonne %d, elle est lue comme une ligne de plus."_l1,
                    t.c.colonne_morceau + 1);
      n.message_lien = en_utf8(message);
      n.lien.ligne = 0;
    }
  }
  for (std::size_t k = 0; k < trouvees.size() && k < filiations_du_texte.size(); ++k) {
    trouvees[k].cause = filiations_du_texte[k].cause;  // an index of the pass's findings, for now
    if (filiations_du_texte[k].ligne_origine > 0)
      demandes.push_back({filiations_du_texte[k].ligne_origine, filiations_du_texte[k].colonne_origine, &trouvees[k].origine});
  }
  for (std::size_t k = 0; k < trouvees.size(); ++k) {
    const constat& c = rapport.constats[k].c;
    demandes.push_back({c.ligne_editeur, c.colonne, &trouvees[k].debut});
    demandes.push_back({c.ligne_editeur, c.colonne_fin, &trouvees[k].fin});
    if (trouvees[k].lien.ligne == 0)
      demandes.push_back({c.ligne_liee > 0 ? c.ligne_liee : c.ligne_editeur, 0, &trouvees[k].lien});
  }
  for (std::size_t k = 0; k < rapport.symboles.size(); ++k)
    demandes.push_back({rapport.symboles[k].ligne, 0, &lignes_des_symboles[k]});
  situe(demandes);
  for (std::size_t k = 0; k < rapport.symboles.size(); ++k) rapport.symboles[k].ligne = lignes_des_symboles[k].ligne;
  // What lies after the end covers the last line.
  for (trouvaille& t : trouvees) {
    if (t.lien.caractere < 0) t.lien.caractere = 0;
    if (t.origine.caractere < 0) t.origine.caractere = 0;
    if (t.debut.caractere < 0 || t.fin.caractere < 0) {
      if (t.debut.caractere < 0) t.debut = {derniere, 0};
      t.fin = {derniere, longueur(static_cast<std::size_t>(derniere))};
    }
  }
  rapport.constats.clear();

  trouvailles.clear();
  if (utf8_sur_disque)
    trouvailles.push_back({{0, 0}, {0, longueur(0)}, AVERTISSEMENT, 802,
                           en_utf8("Ce fichier est enregistré en UTF-8 : la simulation lira mal chaque lettre accentuée. "
                                   "Enregistrez-le en Latin-1 (ISO-8859-1)."_l1),
                           {-1, 0},
                           {}});
  // Each list holds its first findings in file order: the first of both
  // together are among them.
  // The pass's findings keep their rank among the pass's ones until the
  // merge: their causes then name the merged list's places.
  const std::size_t premier_de_la_passe = trouvailles.size() + hors.size();
  std::vector<int> rang(premier_de_la_passe, -1);
  for (std::size_t k = 0; k < trouvees.size(); ++k) rang.push_back(static_cast<int>(k));
  std::move(hors.begin(), hors.end(), std::back_inserter(trouvailles));
  std::move(trouvees.begin(), trouvees.end(), std::back_inserter(trouvailles));
  std::vector<std::size_t> ordre(trouvailles.size());
  std::iota(ordre.begin(), ordre.end(), std::size_t{0});
  std::stable_sort(ordre.begin(), ordre.end(),
                   [&](std::size_t a, std::size_t b) { return trouvailles[a].debut.ligne < trouvailles[b].debut.ligne; });
  std::vector<trouvaille> triees;
  triees.reserve(ordre.size());
  std::vector<int> place_du_rang(trouvees.size(), -1);
  for (const std::size_t k : ordre) {
    if (rang[k] >= 0) place_du_rang[static_cast<std::size_t>(rang[k])] = static_cast<int>(triees.size());
    triees.push_back(std::move(trouvailles[k]));
  }
  trouvailles = std::move(triees);
  non_montrees = hors_non_gardes + rapport.non_gardes;
  if (trouvailles.size() > plafond) {
    non_montrees += trouvailles.size() - plafond;
    trouvailles.resize(plafond);
  }
  // A cause is the pass's index of a finding; a root the pass kept no room
  // for, or that the cap left out, leaves its consequences without one.
  for (trouvaille& t : trouvailles) {
    if (t.cause < 0) continue;
    const auto c = static_cast<std::size_t>(t.cause);
    const std::size_t racine = c < place_du_rang.size() ? static_cast<std::size_t>(place_du_rang[c]) : trouvailles.size();
    t.cause = racine < trouvailles.size() ? static_cast<int>(racine) : -1;
    if (t.cause >= 0) ++trouvailles[racine].suites;
  }
  symboles = std::move(rapport.symboles);
}

const modele_climat& document_ouvert::modele() const {
  if (liens_a_jour) return modele_lu;
  liens_a_jour = true;
  modele_lu = {};
  liens_lus.clear();
  if (!climat) return modele_lu;
  // The pass again, for its model alone: what a keystroke costs stays the
  // findings' alone, and a document no one asks about holds no model.
  struct seulement_le_modele final : rapport_constats {
    modele_climat& m;
    explicit seulement_le_modele(modele_climat& mm) : m(mm) {}
    void rapporte(const constat&) override {}
    modele_climat* modele() override { return &m; }
  } rapport(modele_lu);
  const std::string octets = octets_de_la_passe(nullptr, nullptr);
  verifie_octets(octets.data(), octets.size(), rapport);
  liens_lus = liens_du_modele(modele_lu);
  return modele_lu;
}

const std::vector<lien>& document_ouvert::liens() const {
  modele();
  return liens_lus;
}

std::vector<position_lsp> document_ouvert::positions(const std::vector<place>& p, bool fin) const {
  std::vector<position_lsp> r(p.size());
  std::vector<demande> demandes;
  for (std::size_t k = 0; k < p.size(); ++k) demandes.push_back({p[k].ligne, fin ? p[k].colonne_fin : p[k].colonne, &r[k]});
  situe(demandes);
  return r;
}

std::vector<attente> document_ouvert::attentes(position_lsp p) const {
  // The text with the line cut at `p`: what the pass expects there is what
  // it looks for at the end of the line.
  const std::size_t ici = decalage(p.ligne, p.caractere);
  const std::size_t fin = decalage(p.ligne, LLONG_MAX);
  std::string coupe = texte.substr(0, ici);
  coupe.append(texte, fin);
  struct recueil final : rapport_constats {
    int ligne;
    std::vector<attente> liste;
    explicit recueil(int l) : ligne(l) {}
    void rapporte(const constat&) override {}
    int ligne_des_attentes() const override { return ligne; }
    void attend(const attente& a) override { liste.push_back(a); }
  } rapport(ligne_de_la_passe(p.ligne));
  const std::string octets = octets_de_la_passe(coupe, nullptr, nullptr);
  verifie_octets(octets.data(), octets.size(), rapport);
  return rapport.liste;
}

std::vector<lien> liens_du_modele(const modele_climat& m) {
  std::vector<lien> r;
  const auto ajoute = [&](genre_lien g, bool definition, const nombre_lu& n) {
    if (n.lu) r.push_back({g, static_cast<int>(n.valeur), definition, n.ou});
  };
  for (const auto& [liste, g] : {std::pair{&m.temperatures, genre_lien::temperature}, std::pair{&m.vents, genre_lien::vent},
                                 std::pair{&m.precipitations, genre_lien::precipitation}})
    for (const entree_lue& x : liste->entrees) ajoute(g, true, x.numero);
  for (const saison_lue& s : m.saisons) ajoute(genre_lien::saison, true, s.numero);
  for (const temperatures_lues& t : m.temperatures_saison) {
    ajoute(genre_lien::saison, false, t.saison);
    ajoute(genre_lien::temperature, false, t.minimum);
    ajoute(genre_lien::temperature, false, t.maximum);
  }
  const auto genre_de = [](char lettre) {
    return lettre == 't' ? genre_lien::temperature : lettre == 'v' ? genre_lien::vent : genre_lien::precipitation;
  };
  for (const regle_lue& x : m.regles) {
    ajoute(genre_lien::precipitation, false, x.precipitation);
    for (const condition_lue& c : m.conditions_de(x)) {
      ajoute(genre_de(c.lettre), false, c.operande);
      ajoute(genre_de(c.lettre), false, c.borne);
    }
    for (const valeur_lue& v : m.valeurs_de(x)) {
      ajoute(genre_lien::precipitation, false, v.precipitation);
      for (const qualificatif_lu& q : m.qualificatifs_de(v))
        if (q.lettre == 'v' || q.lettre == 't') ajoute(genre_de(q.lettre), false, q.numero);
    }
  }
  // The total names the last moment, when it is a whole number.
  const nombre_lu& total = m.horloge.total;
  if (total.valeur == static_cast<double>(static_cast<long long>(total.valeur))) ajoute(genre_lien::moment, false, total);
  for (const moment_lu& x : m.horloge.moments) ajoute(genre_lien::moment, true, x.numero);
  return r;
}

const std::string& document_ouvert::tout_corrige(const std::string& octets) const {
  if (!corrige_a_jour) corrige_ = corrige(octets, false);
  corrige_a_jour = true;
  return corrige_;
}

std::string document_ouvert::octets_de_la_passe(std::string_view t, std::vector<trouvaille>* hors,
                                                std::size_t* hors_non_gardes) const {
  // The editor's text as the bytes of the file: Latin-1, with "?" for a
  // character that Latin-1 lacks, which draws its own finding. Each character
  // is one byte for the pass, so that its columns count the editor's
  // characters. The editor ends a line at LF, CR LF or a lone CR; the pass
  // only at LF.
  std::string octets;
  octets.reserve(t.size());
  position_lsp ici;
  struct {
    std::size_t debut = 0;  // the first character's bytes
    std::size_t taille = 0;
    char32_t c = 0;
    position_lsp debut_course;
    int nombre = 0;
  } course;
  const auto finit_la_course = [&] {
    if (course.nombre == 0) return;
    if (hors == nullptr)
      ;
    else if (hors->size() < plafond)
      hors->push_back(hors_latin1(t.substr(course.debut, course.taille), course.c,
                                 course.debut_course, ici, course.nombre));
    else
      ++*hors_non_gardes;
    course.nombre = 0;
  };
  for (std::size_t i = 0; i < t.size();) {
    const auto [c, taille] = point_de_code(t, i);
    i += taille;
    if (c > 0xFF) {
      if (course.nombre == 0) course = {i - taille, taille, c, ici, 0};
      ++course.nombre;
      ici.caractere += unites_utf16(c);
      octets += '?';
      continue;
    }
    finit_la_course();
    // A line begins after LF, or after a CR not followed by LF.
    if (c == '\n' || (c == '\r' && (i >= t.size() || t[i] != '\n')))
      ici = {ici.ligne + 1, 0};
    else
      ici.caractere += unites_utf16(c);
    // The CR the file has before each line feed, which the editor left out.
    if (c == '\n' && crlf_sur_disque && (octets.empty() || octets.back() != '\r')) octets += '\r';
    octets += static_cast<char>(c);
  }
  finit_la_course();

  return octets;
}

int longueur_utf16(std::string_view utf8) {
  int n = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto [c, taille] = point_de_code(utf8, i);
    n += unites_utf16(c);
    i += taille;
  }
  return n;
}

sur_le_disque enregistrement(const std::string& chemin) {
  // A climate file is small; a file of more than 16 MiB, or one that holds a
  // NUL byte, is no climate file an editor saved. A Latin-1 file with
  // accents is never valid UTF-8.
  const std::string octets = lit_fichier_ordinaire(chemin, std::size_t{16} << 20);
  sur_le_disque r;
  if (octets.find('\0') != std::string::npos) return r;
  r.utf8 = std::any_of(octets.begin(), octets.end(), [](char c) { return (c & 0x80) != 0; }) && utf8_valide(octets.c_str());
  const auto sauts = std::count(octets.begin(), octets.end(), '\n');
  std::ptrdiff_t crlf = 0;
  for (std::size_t i = octets.find("\r\n"); i != std::string::npos; i = octets.find("\r\n", i + 2)) ++crlf;
  r.crlf = sauts > 0 && crlf == sauts;
  return r;
}

std::string chemin_du_fichier(const std::string& uri) {
  std::string_view u = uri;
  if (u.substr(0, 7) != "file://") return {};
  u.remove_prefix(7);
  if (u.substr(0, 9) == "localhost") u.remove_prefix(9);
  if (u.empty() || u[0] != '/') return {};
  std::string chemin;
  auto chiffre_hexa = [](char c) {
    return c >= '0' && c <= '9' ? c - '0' : (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10 : -1;
  };
  for (std::size_t i = 0; i < u.size(); ++i) {
    const std::string_view hexa = u.substr(i + 1, 2);
    if (u[i] == '%' && hexa.size() == 2 && chiffre_hexa(hexa[0]) >= 0 && chiffre_hexa(hexa[1]) >= 0) {
      chemin += static_cast<char>(chiffre_hexa(hexa[0]) * 16 + chiffre_hexa(hexa[1]));
      i += 2;
    } else {
      chemin += u[i];
    }
  }
  return chemin.find('\0') == std::string::npos ? chemin : std::string();
}
