#pragma once
// The sound sheet: a sonogram of every sound we ship, decoded as the screensaver decodes it, so a
// person can see the songs and the ambience without listening. For people to look at; nothing reads it.
#include <string>
#include <vector>

#include "content/generator.h"

namespace sylvora {

// Writes the sound sheet to pngPath: the ambience across the top, below it a row of renditions for each
// bird song, and a close-up of the ambience.
bool WriteSoundSheet(const std::string& pngPath, const std::vector<MadeResource>& made);

}  // namespace sylvora
