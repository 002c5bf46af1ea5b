#include "plan.hpp"

#include <algorithm>

#include "chaines.hpp"

namespace {

// Where part `k` runs: from its head to the line before the next one, the
// last to the end.
int fin_de_partie(const document_ouvert& d, std::size_t k) {
  if (k + 1 >= d.symboles.size()) return d.derniere_ligne();
  return std::max(d.symboles[k].ligne, d.symboles[k + 1].ligne - 1);
}

position_lsp fin_de_ligne(const document_ouvert& d, int l) { return {l, d.longueur(static_cast<std::size_t>(l))}; }

}  // namespace

std::vector<element_du_plan> plan(const document_ouvert& d) {
  std::vector<element_du_plan> liste;
  std::size_t montrees = 0;
  for (std::size_t k = 0; k < d.symboles.size(); ++k) {
    const symbole& s = d.symboles[k];
    const int fin = fin_de_partie(d, k);
    const std::string attendue = en_utf8(nom_du_paragraphe(s.etape));
    const std::string lue(d.ligne(static_cast<std::size_t>(s.ligne)));
    element_du_plan partie{attendue, {}, false, {s.ligne, 0}, fin_de_ligne(d, fin), {s.ligne, 0}, fin_de_ligne(d, s.ligne), {}};
    if (s.etape != etape_passe::entete && lue.find(attendue) == std::string::npos && !lue.empty()) {
      partie.nom = lue;
      partie.detail = en_utf8("attendu : "_l1) + attendue;
    }
    const paragraphe_climat* p = paragraphe_de(s.etape);
    std::size_t laissees = 0;
    for (int l = s.ligne + (p != nullptr ? p->saut_avant_entrees : 1); p != nullptr && l <= fin; ++l) {
      const std::string_view texte = d.ligne(static_cast<std::size_t>(l));
      const bool fixe = l <= s.ligne + p->entrees_fixes;
      if (texte.empty() || ((texte[0] < '0' || texte[0] > '9') && !fixe)) continue;
      if (montrees++ >= ENTREES_DU_PLAN_MAX) {
        ++laissees;
        continue;
      }
      partie.enfants.push_back({std::string(texte), {}, true, {l, 0}, fin_de_ligne(d, l), {l, 0}, fin_de_ligne(d, l), {}});
    }
    if (laissees > 0)
      partie.detail += (partie.detail.empty() ? "" : ", ") + std::to_string(laissees) +
                       en_utf8(" entrées de plus ne sont pas listées"_l1);
    liste.push_back(std::move(partie));
  }
  return liste;
}

std::vector<pli> plis(const document_ouvert& d) {
  std::vector<pli> r;
  for (std::size_t k = 0; k < d.symboles.size(); ++k)
    if (fin_de_partie(d, k) > d.symboles[k].ligne) r.push_back({d.symboles[k].ligne, fin_de_partie(d, k)});
  return r;
}
