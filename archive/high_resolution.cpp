#include "archive/high_resolution.h"

namespace sylvora {

// The content generator packs the three-times pictures under these names.
std::string HighResolutionName(const std::string& name) { return name + "x3"; }

}  // namespace sylvora
