#include "nature/nature_state.h"

#include <memory>

#include "video/video_system.h"

namespace sylvora {

NatureState nature;

NatureState::NatureState() { sharedPictureSurfaces.fill(SurfaceNone); }

void NatureState::Reset() {
  // The theme's set table points into the theme itself, so the state cannot be assigned afresh: it is
  // rebuilt where it stands.
  std::destroy_at(this);
  std::construct_at(this);
}

}  // namespace sylvora
