#pragma once
// What the program answers to `sylvora --help` and `sylvora --version`, the two requests a Linux user
// tries first. Neither holds a mode switch, and each counts only as the one argument: any other
// command line is the screensaver host's.
#include <string>
#include <vector>

namespace sylvora {

// True, with the text to print, when arguments (without the program's name) is exactly "--help" or
// exactly "--version". main answers it and exits 0 before any window is made.
bool AnswerInformationRequest(const std::vector<std::string>& arguments, std::string& text);

}  // namespace sylvora
