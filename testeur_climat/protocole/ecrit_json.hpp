// JSON written as it goes, without a tree of values: verifie_climat's report
// and the server's diagnostics can hold a million findings, and a tree would
// take ten times the memory of the text. The commas come by themselves.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class ecrit_json {
 public:
  // verifie_climat writes for people and scripts (", " and ": "); the
  // page's answers are compact. Control characters are \u00XX in both.
  enum class forme { lisible, compacte };

  ecrit_json(std::string& destination, forme f) : sortie(destination), lisible(f == forme::lisible) {}

  ecrit_json& objet() { return ouvre('{'); }
  ecrit_json& fin_objet() { return ferme('}'); }
  ecrit_json& tableau() { return ouvre('['); }
  ecrit_json& fin_tableau() { return ferme(']'); }
  // The name of the next member of an object; its value follows.
  ecrit_json& cle(std::string_view nom);
  ecrit_json& chaine(std::string_view texte);
  ecrit_json& entier(long long n);
  ecrit_json& booleen(bool b);
  ecrit_json& nul();
  // A token written as it is (a number already formatted).
  ecrit_json& brut(std::string_view jeton);

 private:
  ecrit_json& ouvre(char c);
  ecrit_json& ferme(char c);
  void separe();

  std::string& sortie;
  bool lisible;
  // For each container open, whether it already holds a value.
  std::vector<bool> pleins;
  bool apres_cle = false;
};
