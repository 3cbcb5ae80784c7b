#pragma once
// Which path draws the frames: the classic one (a 640 x 480 frame stretched over the display) or the
// native one (every picture drawn straight at the output's resolution). The shell asks once, before it
// makes the video object, since the path decides which display layer that object gets.
#include <string>

namespace sylvora {

enum class DisplayPath { Classic, Native };

// Native unless retro, and only where resourcePath's data.nrx holds the high-resolution twin of
// markerPicture: without the pictures painted for it the native path would only show the classic
// pictures smoothed. The index is read without a word to the report; the video object reports its own
// reading later, as always.
DisplayPath ChooseDisplayPath(bool retro, const std::string& resourcePath, const std::string& markerPicture);

}  // namespace sylvora
