#include "passe.hpp"

#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <algorithm>
#include <iterator>

#include "chaines.hpp"
#include "paragraphes.hpp"

int Erreur_aff(rapport_constats& rapport, int* compteur, const constat& c) {
  ++*compteur;
  rapport.rapporte(c);
  return 0;
}

nombre_lu nombre_quelconque(const etat_passe& e, curseur c, bool decimales) {
  const curseur fin = c.apres_nombre(decimales);
  return {decimales ? static_cast<double>(c.reel()) : static_cast<double>(c.entier()), fin.p != c.p, place_de(e, nombre(c, decimales))};
}

void note_nombre(const etat_passe& e, curseur c, nombre_lu& dans) { dans = nombre_en(e, c); }

texte_lu texte_entre(const etat_passe& e, curseur debut, curseur fin) {
  const char* f = fin.p > debut.p ? fin.p : debut.p;
  return {std::string(debut.p, static_cast<std::size_t>(f - debut.p)), place_de(e, de(debut, fin))};
}

void attente_ici(etat_passe& e, sorte_attendue s, curseur ici, const char* lettre) {
  if (e.fin_lue) return;
  int colonne = 0;
  int fin = 0;
  colonnes(e, avant(ici), colonne, fin);
  attente a{s, colonne, -1};
  if (lettre != nullptr) colonnes(e, {lettre, lettre}, a.colonne_lettre, fin);
  e.rapport->attend(a);
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

bool commence_paragraphe(etat_passe& e, const paragraphe_climat& p) {
  while (e.en_main.ici() != '>')
    if (!ligne_suivante(e, p.fin_avant_tete)) return false;
  e.rapport->paragraphe(e.etape, e.ligne_editeur);
  e.tetes[static_cast<int>(e.etape)] = e.ligne_editeur;
  const bool juste = std::strstr(e.en_main.p, p.tete) != nullptr;
  if (!juste) signale(e, ERREUR, p.tete_absente);
  if (modelise(e)) {
    paragraphe_du_modele(*e.modele, p.etape).tete = e.ligne_editeur;
    paragraphe_du_modele(*e.modele, p.etape).tete_juste = juste;
  }
  return true;
}

void termine_paragraphe(etat_passe& e, const paragraphe_climat& p) {
  if (!modelise(e)) return;
  paragraphe_du_modele(*e.modele, p.etape).fin = e.ligne_editeur;
  paragraphe_du_modele(*e.modele, p.etape).fin_juste = e.en_main.ici() == '<';
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

// Each paragraph's check, in the order of the file.
constexpr void (*VERIFICATIONS[])(etat_passe&, const paragraphe_climat&) = {
    verifie_temperatures, verifie_vents, verifie_liste_precipitations, verifie_saisons,
    verifie_temperatures_saison, verifie_causes, verifie_horloge};

}  // namespace

namespace {

// Room for what a climate file usually holds, taken at once: the model
// otherwise grows each table several times, which costs more than filling it.
void prevoit(modele_climat& m) {
  for (liste_lue* l : {&m.temperatures, &m.vents, &m.precipitations}) l->entrees.reserve(16);
  m.saisons.reserve(4);
  m.temperatures_saison.reserve(4);
  m.regles.reserve(32);
  m.conditions.reserve(64);
  m.valeurs.reserve(96);
  m.qualificatifs.reserve(16);
  m.groupes.reserve(8);
  m.barres.reserve(32);
  m.horloge.moments.reserve(16);
}

}  // namespace

void moteur_principal(std::FILE* fichier, int* erreurs, int* avertissements, rapport_constats& rapport) {
  etat_passe e;  // its block needs no clearing: only what was read is looked at
  e.fichier = fichier;
  e.erreurs = erreurs;
  e.avertissements = avertissements;
  e.rapport = &rapport;
  e.modele = rapport.modele();
  if (e.modele != nullptr) prevoit(*e.modele);
  e.ligne_attentes = rapport.ligne_des_attentes();
  e.empreintes = rapport.veut_les_empreintes();
  rapport.paragraphe(etape_passe::entete, 1);
  if (lit_entete(e))
    for (std::size_t k = 0; k < std::size(PARAGRAPHES); ++k) {
      const paragraphe_climat& p = PARAGRAPHES[k];
      if (e.arret) break;
      e.etape = p.etape;
      VERIFICATIONS[k](e, p);
      // The file ended inside the paragraph (after its head: a missing head
      // has its own message): said once, and no later paragraph takes the
      // line in hand again.
      if (e.fin_lue && !e.arret && p.fin_avant_fermeture.texte != nullptr) {
        signale(e, ERREUR, p.fin_avant_fermeture);
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

// The paragraphs after the header, in the order of the file, with the
// messages that name them. The moments of the clock end with the file: it
// has no end to miss.
const paragraphe_climat PARAGRAPHES[7] = {
    {etape_passe::temperatures, ">Température:"_l1, 2, true, genre_lien::temperature, 2, 0, 0, ">temp",
     {201, "Le premier paragraphe après #Affichage: doit être celui de la température et commencer par >Température:\n"_l1},
     {203, "Le fichier se termine avant le paragraphe de la température, qui doit commencer par >Température:\n"_l1},
     {204, "Le fichier se termine avant le < qui doit terminer la liste de température.\n"_l1}},
    {etape_passe::vents, ">Vent:", 3, true, genre_lien::vent, 2, 0, 0, ">vent",
     {201, "Le deuxième paragraphe après #Affichage: doit être celui du vent et commencer par >Vent:\n"_l1},
     {203, "Le fichier se termine avant le paragraphe du vent, qui doit commencer par >Vent:\n"},
     {204, "Le fichier se termine avant le < qui doit terminer la liste des vents.\n"}},
    {etape_passe::liste_precipitations, ">Précipitation:"_l1, 4, true, genre_lien::precipitation, 2, 0, 0, nullptr,
     {201, "Le troisième paragraphe après #Affichage: doit être celui des précipitation et commencer par >Précipitation:\n"_l1},
     {203, "Le fichier se termine avant le paragraphe des précipitations, qui doit commencer par >Précipitation:\n"_l1},
     {204, "Le fichier se termine avant le < qui doit terminer la liste des précipitations.\n"_l1}},
    {etape_passe::saisons, ">Saison:", 5, true, genre_lien::saison, 1, 0, 0, nullptr,
     {201, "Le quatrième paragraphe après #Affichage: doit être celui des saison et commencer par >Saison:\n"_l1},
     {203, "Le fichier se termine avant le paragraphe des saisons, qui doit commencer par >Saison:\n"},
     {204, "Le fichier se termine avant le < qui doit terminer la liste des saisons.\n"}},
    {etape_passe::temperatures_saison, ">Température par saison:"_l1, 6, false, genre_lien::saison, 1, 4, 1, nullptr,
     {201, "Le cinquième paragraphe après #Affichage: doit être celui des température par saison et commencer par >Température par saison:\n"_l1},
     {203, "Le fichier se termine avant le paragraphe des températures par saison, qui doit commencer par >Température par saison:\n"_l1},
     {204, "Le fichier se termine avant le < qui doit terminer la liste des températures par saison.\n"_l1}},
    {etape_passe::causes, ">Causes des précipitations:"_l1, 7, false, genre_lien::precipitation, 1, 0, 0, nullptr,
     {201, "Le sixième paragraphe après #Affichage: doit être celui des causes de précipitation et commencer par >Causes des précipitations:\n"_l1},
     {203, "Le fichier se termine avant le paragraphe des causes de précipitation, qui doit commencer par >Causes des précipitations:\n"_l1},
     {204, "Le fichier se termine avant le < qui doit terminer le paragraphe des causes de précipitation.\n"_l1}},
    {etape_passe::horloge, "#Horloge vague:", 8, true, genre_lien::moment, 1, 0, 0, "#horloge", {},
     {701, "Impossible de trouver le paragraphe Horloge vague.\n Identifié par '#Horloge vague:'\n"_l1}, {}},
};

const paragraphe_climat* paragraphe_de(etape_passe etape) {
  for (const paragraphe_climat& p : PARAGRAPHES)
    if (p.etape == etape) return &p;
  return nullptr;
}

const char* nom_du_paragraphe(etape_passe etape) {
  const paragraphe_climat* p = paragraphe_de(etape);
  return p != nullptr ? p->tete : "En-tête"_l1;
}

std::string nom_du_code(int code) {
  char nom[16];
  std::snprintf(nom, sizeof nom, "CL%03d", code);
  return nom;
}

compteurs verifie_octets(const char* octets, std::size_t taille, rapport_constats& rapport) {
  // fmemopen refuses an empty buffer: an empty file is a real empty file.
  std::FILE* f = taille == 0 ? std::fopen("/dev/null", "r") : fmemopen(const_cast<char*>(octets), taille, "r");
  compteurs c;
  moteur_principal(f, &c.erreurs, &c.avertissements, rapport);
  std::fclose(f);
  return c;
}

std::string message_lisible(const constat& c) {
  const std::string message = c.message;
  const std::string debut = "Le caractère "_l1;
  if (c.code != 704 || message.size() <= debut.size() || message.compare(0, debut.size(), debut) != 0) return message;
  const auto o = static_cast<unsigned char>(message[debut.size()]);
  std::string nom;
  if (o == ' ') nom = "espace (U+0020)";
  else if (o == '\t') nom = "tabulation (U+0009)";
  else if (o == 0xA0) nom = "espace insécable (U+00A0)"_l1;
  else if (o == 0xAD) nom = "trait d'union conditionnel (U+00AD)";
  else if (o < 0x20 || o == 0x7F || (o >= 0x80 && o < 0xA0)) {
    char code[32];
    std::snprintf(code, sizeof code, "de contrôle (U+%04X)"_l1, o);
    nom = code;
  } else {
    return message;
  }
  return debut + nom + message.substr(debut.size() + 1);
}
