#pragma once
// The contact sheet: every picture on one PNG (sprite sheets enlarged four times), preceded by each
// scene composed as the screensaver draws it with its first sky. For people to look at; nothing reads it.
// The sound sheet of sonograms goes beside it.
#include <string>
#include <vector>

#include "content/generator.h"

namespace sylvora {

// Writes the contact sheet to pngPath, and beside it each composed scene to scene-<n>.png, the same
// composed from the three-times pictures to scene-<n>x3.png, and the sound sheet to sounds.png.
bool WriteContactSheet(const std::string& pngPath, const std::vector<MadeResource>& made);

}  // namespace sylvora
