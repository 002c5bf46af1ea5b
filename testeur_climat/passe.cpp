#include "testeur_climat/passe.hpp"

#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <algorithm>

#include "console/texte.hpp"
#include "testeur_climat/paragraphes.hpp"

int Erreur_aff(rapport_constats& rapport, int* compteur, const constat& c) {
  ++*compteur;
  rapport.rapporte(c);
  return 0;
}

namespace {

// Where a place of the line in hand lies on its editor's line: the whole
// line's text when none is given.
void colonnes(const etat_passe& e, lieu l, int& colonne, int& colonne_fin) {
  if (l.debut == nullptr) {
    colonne = e.colonne_morceau;
    colonne_fin = e.colonne_morceau + e.longueur_texte;
    return;
  }
  // A span past the text (a line feed the cuts passed over) ends with it.
  const auto place = [&](const char* q) {
    return e.colonne_morceau + static_cast<int>(std::min<std::ptrdiff_t>(q - e.tampon_ligne, e.longueur_texte));
  };
  colonne = place(l.debut);
  colonne_fin = std::max(colonne, place(l.fin));
}

}  // namespace

void relie_lien(etat_passe& e, genre_lien g, bool definition, int numero, lieu l) {
  if (e.fin_lue) return;  // the line in hand was looked at already
  lien n{g, numero, definition, e.ligne_editeur, 0, 0};
  colonnes(e, l, n.colonne, n.colonne_fin);
  e.rapport->relie(n);
}

void signale(etat_passe& e, int type, message m, lieu l) {
  constat c{type, e.num_ligne, e.ligne_editeur, m.code, m.texte};
  // After the last line there is nothing to point at.
  if (!e.fin_lue) colonnes(e, l, c.colonne, c.colonne_fin);
  c.colonne_morceau = e.fin_lue ? 0 : e.colonne_morceau;
  c.ligne_liee = l.ligne_liee;
  Erreur_aff(*e.rapport, type == ERREUR ? e.erreurs : e.avertissements, c);
}

void signale_f(etat_passe& e, int type, int code, lieu l, const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(e.tampon_message, sizeof e.tampon_message, format, arguments);
  va_end(arguments);
  signale(e, type, {code, e.tampon_message}, l);
}

bool fin_de_lecture(etat_passe& e) {
  if (std::ferror(e.fichier) && !e.arret) {
    e.arret = true;
    e.illisible = true;
    signale(e, ERREUR,
            {901, "Le fichier de climat ne peut pas être lu (erreur de lecture), la vérification s'arrête ici.\n"_l1});
  }
  return false;
}

bool lit_ligne_lente(etat_passe& e) {
  // What the block still holds (no line feed, fewer than 254 bytes) begins
  // the line; the next blocks bring the rest.
  char ligne[LIGNE_MAX + 1];
  int n = e.bloc_fin - e.bloc_debut;
  std::memcpy(ligne, e.bloc + e.bloc_debut, static_cast<std::size_t>(n));
  e.bloc_debut = e.bloc_fin = 0;
  while (n < LIGNE_MAX) {
    if (e.bloc_debut == e.bloc_fin) {
      if (e.fin_du_fichier) break;
      e.bloc_fin = static_cast<int>(std::fread(e.bloc, 1, sizeof e.bloc, e.fichier));
      e.bloc_debut = 0;
      if (std::ferror(e.fichier)) return false;  // as fgets: nothing of the line is kept
      if (e.bloc_fin == 0) {
        e.fin_du_fichier = true;
        break;
      }
    }
    const char c = e.bloc[e.bloc_debut++];
    ligne[n++] = c;
    if (c == '\n') break;
  }
  if (n == 0) return false;
  std::memcpy(e.tampon_ligne, ligne, static_cast<std::size_t>(n));
  e.tampon_ligne[n] = '\0';
  ligne_lue(e, ligne[n - 1] == '\n', n);
  return true;
}

bool ligne_suivante(etat_passe& e, message message_fin, bool compte_la_fin, lieu_de_lecture ici) {
  if (lit_ligne(e, compte_la_fin, ici)) return true;
  if (!e.arret) {
    signale(e, ERREUR, message_fin);
    e.arret = true;
  }
  return false;
}

float lit_reel(const char* texte) {
  const double valeur = std::strtod(texte, nullptr);
  // Beyond the single-precision range the value becomes an infinity.
  if (valeur > FLT_MAX) return HUGE_VALF;
  if (valeur < -FLT_MAX) return -HUGE_VALF;
  return static_cast<float>(valeur);
}

int tronque(float valeur) {
  // The float of a 32-bit integer can only pass its upper bound (2^31 - 1
  // rounds to 2^31); its lower bound, -2^31, is exact.
  return valeur >= 2147483648.0f ? INT_MAX : static_cast<int>(valeur);
}

namespace {

// One step of a 64-bit hash (the mixer of splitmix64).
std::uint64_t melange(std::uint64_t h, std::uint64_t valeur) {
  h ^= valeur + 0x9E3779B97F4A7C15u + (h << 6) + (h >> 2);
  h ^= h >> 30;
  h *= 0xBF58476D1CE4E5B9u;
  h ^= h >> 27;
  h *= 0x94D049BB133111EBu;
  return h ^ (h >> 31);
}

std::uint64_t bits(float f) {
  std::uint32_t b = 0;
  std::memcpy(&b, &f, sizeof b);
  return b;
}

}  // namespace

void prend_empreinte(const etat_passe& e, lieu_de_lecture ici) {
  // The place in the checker, then every value the checks that follow
  // depend on; the line numbers, which a change before them moves, are left
  // out (a finding's line is compared apart).
  std::uint64_t h = melange(reinterpret_cast<std::uintptr_t>(ici.fichier), static_cast<std::uint64_t>(ici.ligne));
  const report_de_ligne& s = e.suite;
  for (const std::uint64_t v :
       {static_cast<std::uint64_t>(e.etape), static_cast<std::uint64_t>(static_cast<unsigned>(e.nb_temperatures)),
        static_cast<std::uint64_t>(static_cast<unsigned>(e.nb_vents)), e.precipitations_listees.histoire,
        bits(s.numero_precedent), static_cast<std::uint64_t>(s.liste_pleine), static_cast<std::uint64_t>(s.place),
        static_cast<std::uint64_t>(s.total_lu), bits(s.total), static_cast<std::uint64_t>(static_cast<unsigned>(s.dernier_moment)),
        static_cast<std::uint64_t>(e.fin_lue), static_cast<std::uint64_t>(e.arret), static_cast<std::uint64_t>(e.lignes_lues),
        static_cast<std::uint64_t>(e.fin_du_fichier)})
    h = melange(h, v);
  e.rapport->empreinte(e.sauts_lus + 1, h);
}

bool precipitations::ajoute(int numero) {
  const int k = nombre() + 1;
  if (k > PRECIPITATIONS_MAX) return false;
  histoire = melange(histoire, static_cast<std::uint64_t>(static_cast<unsigned>(numero)));
  liste_precipitations[k] = numero;
  liste_precipitations[0] = k;
  if (numero >= 0 && numero <= PRECIPITATIONS_MAX)
    ++entrees_du_numero[numero];
  else
    numeros_hors_bornes = true;
  return true;
}

int precipitations::entrees_hors_bornes(float numero) const {
  int n = 0;
  for (int i = 1; i <= nombre(); ++i)
    if (static_cast<float>(liste_precipitations[i]) == numero) ++n;
  return n;
}

void precipitations::marque_sans_condition(float numero) {
  histoire = melange(histoire, bits(numero) | (std::uint64_t{1} << 40));
  const int n = tronque(numero);
  if (n >= 0 && n <= PRECIPITATIONS_MAX) {
    precip_sans_condition[n] = 1;
    return;
  }
  for (int i = 1; i <= nombre(); ++i)
    if (static_cast<float>(liste_precipitations[i]) == numero) sans_condition_par_entree[i] = 1;
}

bool precipitations::a_une_ligne_sans_condition(int entree) const {
  const int n = liste_precipitations[entree];
  if (n >= 0 && n <= PRECIPITATIONS_MAX) return precip_sans_condition[n] == 1;
  return sans_condition_par_entree[entree] == 1;
}

bool commence_paragraphe(etat_passe& e, const paragraphe& p, message message_absent, message message_fin) {
  while (e.en_main.ici() != '>')
    if (!ligne_suivante(e, message_fin)) return false;
  e.rapport->paragraphe(e.etape, e.ligne_editeur);
  e.tetes[static_cast<int>(e.etape)] = e.ligne_editeur;
  if (std::strstr(e.en_main.p, p.tete) == nullptr) signale(e, ERREUR, message_absent);
  return true;
}

namespace {

// The six header lines, recognised by their position alone. Returns whether
// the paragraphs follow: not when the file ended before its sixth read.
bool lit_entete(etat_passe& e) {
  for (int ligne = 1; ligne <= LIGNES_ENTETE; ++ligne) {
    if (e.fin_du_fichier) return false;
    lit_ligne(e);
    if (e.arret) return false;
    e.etape = static_cast<etape_passe>(ligne);
    verifie_entete(e);
  }
  return true;
}

// The paragraphs after the header, in the order of the file. The moments
// of the clock end with the file: it has no end to miss.
constexpr paragraphe PARAGRAPHES[] = {
    {etape_passe::temperatures, ">Température:"_l1,
     {204, "Le fichier se termine avant le < qui doit terminer la liste de température.\n"_l1}, verifie_temperatures},
    {etape_passe::vents, ">Vent:", {204, "Le fichier se termine avant le < qui doit terminer la liste des vents.\n"},
     verifie_vents},
    {etape_passe::liste_precipitations, ">Précipitation:"_l1,
     {204, "Le fichier se termine avant le < qui doit terminer la liste des précipitations.\n"_l1},
     verifie_liste_precipitations},
    {etape_passe::saisons, ">Saison:", {204, "Le fichier se termine avant le < qui doit terminer la liste des saisons.\n"},
     verifie_saisons},
    {etape_passe::temperatures_saison, ">Température par saison:"_l1,
     {204, "Le fichier se termine avant le < qui doit terminer la liste des températures par saison.\n"_l1},
     verifie_temperatures_saison},
    {etape_passe::causes, ">Causes des précipitations:"_l1,
     {204, "Le fichier se termine avant le < qui doit terminer le paragraphe des causes de précipitation.\n"_l1},
     verifie_causes},
    {etape_passe::horloge, "#Horloge vague:", {}, verifie_horloge},
};

}  // namespace

void moteur_principal(std::FILE* fichier, int* erreurs, int* avertissements, rapport_constats& rapport) {
  etat_passe e;  // its block needs no clearing: only what was read is looked at
  e.fichier = fichier;
  e.erreurs = erreurs;
  e.avertissements = avertissements;
  e.rapport = &rapport;
  e.liens = rapport.veut_les_liens();
  e.empreintes = rapport.veut_les_empreintes();
  rapport.paragraphe(etape_passe::entete, 1);
  if (lit_entete(e))
    for (const paragraphe& p : PARAGRAPHES) {
      if (e.arret) break;
      e.etape = p.etape;
      p.verifie(e, p);
      // The file ended inside the paragraph (after its head: a missing head
      // has its own message): said once, and no later paragraph takes the
      // line in hand again.
      if (e.fin_lue && !e.arret && p.fin.texte != nullptr) {
        signale(e, ERREUR, p.fin);
        e.arret = true;
      }
    }
  e.etape = etape_passe::fin;
  while (!e.fin_du_fichier && !e.arret) lit_ligne(e);
  // A file cut inside its header gets the checks of its missing lines on
  // what its last line left, as for any end of file; it must still not pass
  // for a clean file.
  if (e.lignes_lues < LIGNES_ENTETE && !e.illisible) {
    rien_lu(e);  // a last line without its line feed has been read: the end comes after it
    signale(e, ERREUR, {202, "Le fichier se termine avant la fin des six lignes d'en-tête.\n"_l1});
  }
}

const char* nom_du_paragraphe(etape_passe etape) {
  for (const paragraphe& p : PARAGRAPHES)
    if (p.etape == etape) return p.tete;
  return "En-tête"_l1;
}

compteurs verifie_octets(const char* octets, std::size_t taille, rapport_constats& rapport) {
  // fmemopen refuses an empty buffer: an empty file is a real empty file.
  std::FILE* f = taille == 0 ? std::fopen("/dev/null", "r") : fmemopen(const_cast<char*>(octets), taille, "r");
  compteurs c;
  moteur_principal(f, &c.erreurs, &c.avertissements, rapport);
  std::fclose(f);
  return c;
}
