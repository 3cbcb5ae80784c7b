#pragma once
// Helpers shared by the files of VideoSystem.
#include <string>

namespace sylvora {

// The module name every video message carries.
inline constexpr const char* kVideoModule = "KALDRA.VIDEO";

// printf-style formatting into a string, for the composed message texts.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace sylvora
