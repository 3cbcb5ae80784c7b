#pragma once
// The name under which a picture's high-resolution twin (three times its width and height) is stored in
// data.nrx. The native display path asks for the twin first and falls back to the picture itself; the
// shell looks for one twin to tell whether the high-resolution pictures are installed at all.
#include <string>

namespace sylvora {

// How many output pixels a twin has for each picture pixel, along each side.
inline constexpr int kHighResolutionScale = 3;

// The twin's entry name of the picture name: the name with "x3" appended. The one place the rule lives.
std::string HighResolutionName(const std::string& name);

}  // namespace sylvora
