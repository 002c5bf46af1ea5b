// What asking the pass for the model costs: the pass on a file's bytes in
// memory with a report that wants no model, then with one that fills it
// (and drops it), one after the other, 15 times; prints the median time of
// each and the median of their ratios (each taken within one round). A
// small file is checked as many times in a row as make a round last about
// 20 ms, so that the clock's grain does not decide the figure.
//   modele FICHIER...
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "constats.hpp"
#include "modele.hpp"

namespace {

struct sans_modele final : rapport_constats {
  void rapporte(const constat&) override {}
};
struct avec_modele final : rapport_constats {
  modele_climat m;
  void rapporte(const constat&) override {}
  modele_climat* modele() override { return &m; }
};

template <typename R>
double duree(const std::string& octets, int fois) {
  const auto debut = std::chrono::steady_clock::now();
  for (int i = 0; i < fois; ++i) {
    R rapport;
    verifie_octets(octets.data(), octets.size(), rapport);
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count() / fois;
}

double mediane(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void mesure(const char* chemin) {
  std::ifstream f(chemin, std::ios::binary);
  const std::string octets((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  const int fois = std::max(1, static_cast<int>(0.02 / std::max(duree<sans_modele>(octets, 1), 1e-6)));
  std::vector<double> sans, avec, rapports;
  for (int tour = 0; tour < 15; ++tour) {
    sans.push_back(duree<sans_modele>(octets, fois));
    avec.push_back(duree<avec_modele>(octets, fois));
    rapports.push_back(avec.back() / sans.back());
  }
  std::printf("%s : sans modèle %.6f s, avec %.6f s, %.2f× (médianes de 15, %d passes par mesure)\n", chemin,
              mediane(sans), mediane(avec), mediane(rapports), fois);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage : modele FICHIER...\n");
    return 2;
  }
  for (int i = 1; i < argc; ++i) mesure(argv[i]);
}
