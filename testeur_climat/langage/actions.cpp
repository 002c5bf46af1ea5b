#include "actions.hpp"

#include <algorithm>

#include "chaines.hpp"
#include "corrections.hpp"
#include "diff_unifie.hpp"

namespace {

// Edits of the document's characters (a character is a byte of the pass's
// text), all their places found in one walk.
std::vector<modification_lsp> places(const document_ouvert& d, const std::vector<remplacement>& edits) {
  std::vector<std::size_t> caracteres;
  for (const remplacement& r : edits) caracteres.insert(caracteres.end(), {r.debut, r.fin});
  const std::vector<position_lsp> lieux = d.positions_des_caracteres(caracteres);
  std::vector<modification_lsp> r;
  for (std::size_t k = 0; k < edits.size(); ++k) r.push_back({lieux[2 * k], lieux[2 * k + 1], en_utf8(edits[k].texte)});
  return r;
}

// The editor's line where a fix's finding begins (after the end of the
// text: the last line).
long long ligne_du_constat(const document_ouvert& d, const std::string& octets, int ligne) {
  std::size_t debut_de_ligne = 0;
  bool apres_la_fin = false;
  for (int n = 1; n < ligne && !apres_la_fin; ++n) {
    const std::size_t saut = octets.find('\n', debut_de_ligne);
    apres_la_fin = saut == std::string::npos;
    debut_de_ligne = saut + 1;
  }
  apres_la_fin = apres_la_fin || (ligne > 1 && debut_de_ligne >= octets.size());
  return apres_la_fin ? d.derniere_ligne() : std::min(d.position_du_caractere(debut_de_ligne).ligne, d.derniere_ligne());
}

}  // namespace

std::vector<action_code> actions(const document_ouvert& d, long long premiere, long long derniere, bool correctifs, bool tout,
                                 const std::vector<diagnostic_demande>& demandes) {
  std::vector<action_code> liste;
  std::vector<std::size_t> hors;
  const std::string octets = d.octets_latin1(hors);
  const auto touche_hors = [&](std::size_t a, std::size_t b) {
    const auto h = std::lower_bound(hors.begin(), hors.end(), a);
    return h != hors.end() && *h < b;
  };
  if (correctifs)
    for (const correction& c : corrections_sures(octets, 64, d.ligne_de_la_passe(premiere), d.ligne_de_la_passe(derniere))) {
      if (touche_hors(c.debut, c.fin)) continue;
      action_code a{en_utf8(c.titre), false, places(d, {{c.debut, c.fin, c.texte}}), {}, {}, {}};
      // The request's diagnostics of its code on its finding's line.
      const long long ligne = ligne_du_constat(d, octets, c.ligne);
      for (std::size_t k = 0; k < demandes.size(); ++k)
        if (demandes[k].code == nom_du_code(c.code) && demandes[k].ligne == ligne) a.retires.push_back(k);
      for (std::size_t r = 0; r < d.trouvailles.size(); ++r) {
        const trouvaille& t = d.trouvailles[r];
        if (t.code != c.code || t.debut.ligne != ligne || t.suites == 0) continue;
        for (std::size_t k = 0; k < d.trouvailles.size(); ++k)
          if (d.trouvailles[k].cause == static_cast<int>(r)) a.suites.push_back(k);
      }
      liste.push_back(std::move(a));
    }
  if (tout) {
    // One edit for each run of lines the fixes change. More than an editor
    // should be sent at once: the action says so, and is not made.
    const std::vector<remplacement> edits = remplacements(octets, d.tout_corrige(octets));
    std::size_t taille = 0;
    for (const remplacement& r : edits) taille += 100 + r.texte.size();
    if (edits.empty() || std::any_of(edits.begin(), edits.end(), [&](const remplacement& r) { return touche_hors(r.debut, r.fin); }))
      return liste;
    action_code a{en_utf8("Appliquer toutes les corrections sûres"_l1), true, {}, {}, {}, {}};
    if (taille > ENVOI_MAX)
      a.desactivee = en_utf8("Trop de corrections pour les envoyer à l'éditeur : verifie_climat --corrige les fait toutes."_l1);
    else
      a.modifications = places(d, edits);
    liste.push_back(std::move(a));
  }
  return liste;
}
