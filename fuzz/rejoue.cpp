// Replays inputs through the fuzzing target without the fuzzer, with any
// compiler: ctest runs every file of fuzz/regressions this way, so that an
// input a fuzzing run once found stays checked by the ordinary build.
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* octets, std::size_t taille);

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> entrees;
  for (int i = 1; i < argc; ++i) {
    if (std::filesystem::is_directory(argv[i]))
      for (const auto& f : std::filesystem::directory_iterator(argv[i])) entrees.push_back(f.path());
    else
      entrees.emplace_back(argv[i]);
  }
  for (const auto& chemin : entrees) {
    std::ifstream f(chemin, std::ios::binary);
    const std::string octets((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const unsigned char*>(octets.data()), octets.size());
  }
  std::cout << entrees.size() << " entrées rejouées\n";
  return entrees.empty() ? 1 : 0;
}
