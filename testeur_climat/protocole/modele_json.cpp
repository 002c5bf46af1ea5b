#include "modele_json.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "chaines.hpp"
#include "constats.hpp"

namespace {

// A number as JSON: a whole number without decimals, another with the
// fewest decimals that give back the single-precision value the pass holds;
// null when no digits stood there (or the value is infinite).
void nombre(ecrit_json& j, const nombre_lu& n) {
  if (!n.lu || !std::isfinite(n.valeur)) {
    j.nul();
    return;
  }
  char texte[48];
  if (n.valeur == std::trunc(n.valeur) && std::fabs(n.valeur) < 1e15) {
    std::snprintf(texte, sizeof texte, "%.0f", n.valeur);
  } else {
    const auto f = static_cast<float>(n.valeur);
    for (int chiffres = 1; chiffres <= 9; ++chiffres)
      if (std::snprintf(texte, sizeof texte, "%.*g", chiffres, static_cast<double>(f)); std::strtof(texte, nullptr) == f) break;
  }
  j.brut(texte);
}

void texte(ecrit_json& j, const texte_lu& t) {
  if (t.ou.ligne == 0)
    j.nul();
  else
    j.chaine(en_utf8(t.texte));
}

// {"valeur": …, "ligne": …} for a header line.
void valeur(ecrit_json& j, const char* cle, const nombre_lu& n, const place& ligne) {
  j.cle(cle);
  if (ligne.ligne == 0) {
    j.nul();
    return;
  }
  j.objet().cle("valeur");
  nombre(j, n);
  j.cle("ligne").entier(ligne.ligne).fin_objet();
}

// The end of a paragraph: the line that ended it, and whether it is the
// "<" the format wants.
void fin(ecrit_json& j, const paragraphe_lu& p) {
  j.cle("fin");
  if (p.fin == 0)
    j.nul();
  else
    j.objet().cle("ligne").entier(p.fin).cle("juste").booleen(p.fin_juste).fin_objet();
}

// A paragraph: its head's line and whether it holds its keyword, its own
// members, then its end and what `apres` adds.
template <typename F, typename G>
void paragraphe(ecrit_json& j, const char* cle, const paragraphe_lu& p, F&& contenu, G&& apres) {
  j.cle(cle);
  if (p.tete == 0) {
    j.nul();
    return;
  }
  j.objet().cle("ligne").entier(p.tete).cle("tete_juste").booleen(p.tete_juste);
  contenu();
  fin(j, p);
  apres();
  j.fin_objet();
}
template <typename F>
void paragraphe(ecrit_json& j, const char* cle, const paragraphe_lu& p, F&& contenu) {
  paragraphe(j, cle, p, contenu, [] {});
}

void liste(ecrit_json& j, const char* cle, const paragraphe_lu& p, const liste_lue& l, bool variation) {
  paragraphe(j, cle, p, [&] {
    j.cle("probabilites");
    if (l.probabilites.ligne == 0) {
      j.nul();
    } else {
      j.objet().cle("premiere");
      nombre(j, l.premiere);
      j.cle("seconde");
      nombre(j, l.seconde);
      j.cle("ligne").entier(l.probabilites.ligne).fin_objet();
    }
    j.cle("entrees").tableau();
    for (const entree_lue& e : l.entrees) {
      j.objet().cle("numero");
      nombre(j, e.numero);
      if (variation) {
        j.cle("variation");
        texte(j, e.variation);
      }
      j.cle("effet");
      nombre(j, e.effet);
      j.cle("affichage");
      texte(j, e.affichage);
      j.cle("ligne").entier(e.ligne.ligne).fin_objet();
    }
    j.fin_tableau();
  });
}

void regle(ecrit_json& j, const modele_climat& m, const regle_lue& r) {
  j.objet().cle("precipitation");
  nombre(j, r.precipitation);
  j.cle("ligne").entier(r.ligne.ligne).cle("conditions").tableau();
  for (const condition_lue& c : m.conditions_de(r)) {
    j.objet().cle("lettre").chaine(std::string(1, c.lettre));
    if (c.sens != 0) {
      j.cle("sens").chaine(std::string(1, c.sens));
    } else {
      j.cle("operande");
      nombre(j, c.operande);
      if (c.borne.ou.ligne != 0) {
        j.cle("borne");
        nombre(j, c.borne);
      }
    }
    j.fin_objet();
  }
  j.fin_tableau().cle("abandonnee").booleen(r.abandonnee);
  if (r.moteur != 0) j.cle("moteur").entier(r.moteur);
  j.cle("valeurs").tableau();
  for (const valeur_lue& v : m.valeurs_de(r)) {
    j.objet().cle("precipitation");
    nombre(j, v.precipitation);
    if (!m.qualificatifs_de(v).empty()) {
      j.cle("qualificatifs").tableau();
      for (const qualificatif_lu& q : m.qualificatifs_de(v)) {
        j.objet().cle("lettre").chaine(std::string(1, q.lettre)).cle("numero");
        nombre(j, q.numero);
        j.fin_objet();
      }
      j.fin_tableau();
    }
    if (v.pourcentage.ou.ligne != 0) {
      j.cle("pourcentage");
      nombre(j, v.pourcentage);
    }
    if (v.groupe >= 0) j.cle("groupe").entier(v.groupe);
    j.fin_objet();
  }
  j.fin_tableau();
  if (!m.groupes_de(r).empty()) {
    j.cle("groupes").tableau();
    for (const groupe_lu& g : m.groupes_de(r)) {
      j.objet().cle("annonce");
      nombre(j, g.annonce);
      j.fin_objet();
    }
    j.fin_tableau();
  }
  if (r.fin_m4) {
    j.cle("fin_m4").objet().cle("premiere");
    nombre(j, r.m4_premiere);
    j.cle("seconde");
    nombre(j, r.m4_seconde);
    j.fin_objet();
  }
  j.fin_objet();
}

void moment(ecrit_json& j, const moment_lu& m) {
  j.objet().cle("numero");
  nombre(j, m.numero);
  j.cle("expression");
  texte(j, m.expression);
  j.cle("variables").tableau();
  for (const variable_lue& v : m.variables) {
    j.objet().cle("nom").chaine(en_utf8(v.nom)).cle("evenement");
    if (v.evenement >= 0)
      j.chaine(VARIABLES_HORLOGE[v.evenement].nom);
    else
      j.nul();
    j.fin_objet();
  }
  j.fin_tableau().cle("variation");
  texte(j, m.variation);
  j.cle("affichage");
  texte(j, m.affichage);
  j.cle("ligne").entier(m.ligne.ligne).fin_objet();
}

}  // namespace

void ecrit_modele(ecrit_json& j, const modele_climat& m) {
  const entete_lu& e = m.entete;
  j.cle("entete").objet();
  valeur(j, "latitude", e.latitude_nommee ? e.latitude : nombre_lu{}, e.latitude_nommee ? e.lignes[0] : place{});
  valeur(j, "longitude", e.longitude_nommee ? e.longitude : nombre_lu{}, e.longitude_nommee ? e.lignes[1] : place{});
  j.cle("heure_ete");
  if (e.lignes[2].ligne == 0) {
    j.nul();
  } else {
    j.objet().cle("valeur");
    texte(j, e.heure_ete);
    j.cle("ligne").entier(e.lignes[2].ligne).fin_objet();
  }
  valeur(j, "decalage", e.decalage, e.lignes[3]);
  j.cle("changement");
  if (e.lignes[4].ligne == 0) {
    j.nul();
  } else {
    j.objet().cle("minimum");
    nombre(j, e.temps_minimum);
    j.cle("maximum");
    nombre(j, e.temps_maximum);
    j.cle("ligne").entier(e.lignes[4].ligne).fin_objet();
  }
  valeur(j, "changement_force", e.changement_force, e.lignes[5]);
  j.fin_objet();

  liste(j, "temperatures", paragraphe_du_modele(m, etape_passe::temperatures), m.temperatures, false);
  liste(j, "vents", paragraphe_du_modele(m, etape_passe::vents), m.vents, true);
  liste(j, "precipitations", paragraphe_du_modele(m, etape_passe::liste_precipitations), m.precipitations, true);

  paragraphe(
      j, "saisons", paragraphe_du_modele(m, etape_passe::saisons),
      [&] {
        j.cle("saisons").tableau();
        for (const saison_lue& s : m.saisons) {
          j.objet().cle("numero");
          nombre(j, s.numero);
          j.cle("affichage");
          texte(j, s.affichage);
          j.cle("ligne").entier(s.ligne.ligne).fin_objet();
        }
        j.fin_tableau();
      },
      [&] {
        paragraphe(j, "temperatures", paragraphe_du_modele(m, etape_passe::temperatures_saison), [&] {
          j.cle("saisons").tableau();
          for (const temperatures_lues& t : m.temperatures_saison) {
            j.objet().cle("saison");
            nombre(j, t.saison);
            j.cle("minimum");
            nombre(j, t.minimum);
            j.cle("maximum");
            nombre(j, t.maximum);
            j.cle("ligne").entier(t.ligne.ligne).fin_objet();
          }
          j.fin_tableau();
        });
      });

  paragraphe(j, "regles", paragraphe_du_modele(m, etape_passe::causes), [&] {
    j.cle("regles").tableau();
    for (const regle_lue& r : m.regles) regle(j, m, r);
    j.fin_tableau();
  });

  paragraphe(j, "horloge", paragraphe_du_modele(m, etape_passe::horloge), [&] {
    j.cle("total");
    if (!m.horloge.total_present) {
      j.nul();
    } else {
      j.objet().cle("valeur");
      nombre(j, m.horloge.total);
      j.cle("ligne").entier(m.horloge.ligne_total.ligne).fin_objet();
    }
    j.cle("moments").tableau();
    for (const moment_lu& x : m.horloge.moments) moment(j, x);
    j.fin_tableau();
  });
}
