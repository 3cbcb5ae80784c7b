#pragma once
// Bird songs are installed in several renditions each, so that no two plays of a species in a row are
// the same samples: the content generator sings every song kSongRenditions times under these names, and
// the ambient sound plays the renditions it finds of a song in turn.
#include <string>

namespace sylvora {

constexpr int kSongRenditions = 4;

// Rendition 0 is the song's own name, "back" and the song's number; the others add "r" and the
// rendition's number ("back3r1" .. "back3r3"). Letters and digits only, as loose file names need.
inline std::string SongRenditionName(int song, int rendition) {
  std::string name = "back" + std::to_string(song);
  return rendition == 0 ? name : name + "r" + std::to_string(rendition);
}

}  // namespace sylvora
