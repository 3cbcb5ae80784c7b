#include "video/display_path.h"

#include <memory>

#include "archive/high_resolution.h"
#include "archive/resource_index.h"

namespace sylvora {

DisplayPath ChooseDisplayPath(bool retro, const std::string& resourcePath, const std::string& markerPicture) {
  if (retro) return DisplayPath::Classic;
  // The table is large (a thousand entries): it lives on the heap for the moment it is needed.
  auto pictures = std::make_unique<ArchiveTable>();
  int entry = 0;
  const bool installed = pictures->LoadQuietly(resourcePath, kGraphicArchive) &&
                         pictures->Find(HighResolutionName(markerPicture), entry) == 0;
  return installed ? DisplayPath::Native : DisplayPath::Classic;
}

}  // namespace sylvora
