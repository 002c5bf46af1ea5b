// What the front ends for editors share: findings as editors show them, in
// UTF-8 and on one line, with their code.
#pragma once

#include <string>
#include <string_view>

// A Latin-1 text in UTF-8.
std::string en_utf8(std::string_view latin1);

// A message on one line: its line feeds, with the blanks around them, become
// one blank; a final one goes.
std::string sur_une_ligne(const std::string& message);

// A message's code as it is shown: "CL" and its three digits.
std::string nom_du_code(int code);
