#pragma once
// The one table of everything the content generator makes: every picture and sound the screensaver asks
// the archive for, with the size and shape the scenes and creatures assume. The generator paints from it
// and the content tests check the archive against it.
#include <array>
#include <cstdint>

namespace sylvora {

// What a resource is, which decides how it is painted or synthesised and how it is encoded.
enum class ContentRole : int {
  Ground,    // opaque lower band of a scene (JPEG)
  Overlay,   // scene layer painted on pure black, drawn with the black colour key (JPEG)
  Sky,       // opaque sky whose two halves form one wrapping panorama (JPEG)
  Sheet,     // creature sprite sheet on pure black (BMP)
  Ambience,  // the looping stereo background (Ogg Vorbis)
  Song,      // a mono bird song placed in 3D (Ogg Vorbis)
};

// One resource of the catalogue.
struct ContentItem {
  const char* name;        // the name the program asks the archive for
  ContentRole role;
  int32_t archiveType;     // index entry type: 0 BMP, 1 JPEG, 2 sound
  int scene;               // owning scene 0..5 for layers and skies, -1 for shared resources
  int width, height;       // picture size in pixels (0 for sounds)
  int frameWidth, frameHeight;  // sheets: one cell; layers and skies: the whole picture
  int frames, rows;        // sheets: cells per row and rows; 1 and 1 otherwise
  int blackThreshold;      // overlays: R + G + B below this turns transparent when loaded
  int variant;             // which painting of its kind (sky mood, bird kind, butterfly species, song)
  int rendition = 0;       // songs: which of the song's renditions
  int sceneX = 0;          // layers: the screen column of the picture's left edge
};

// Number of resources: 17 scene layers, 11 skies, 21 creature sheets and 29 sounds (the ambience and
// seven songs in four renditions each). The generator makes every picture also three times finer, and
// paints every scene layer a second time wide (WidePictureName), at both scales: 78 + 49 + 2 x 17 = 161
// entries in the archive. The skies need no wide painting: their panorama is already 1280 columns.
constexpr int kContentCount = 78;
// Index entry type used for every sound (the readers keep 2 to 6 alike).
constexpr int32_t kSoundEntryType = 2;

// Moods of the sky pictures (ContentItem::variant of a Sky).
enum SkyMood : int {
  kClearMorning = 0,
  kCumulusAfternoon = 1,
  kHighCirrus = 2,
  kSunset = 3,
  kSoftOvercast = 4,
  kForestSummer = 5,
  kDandelionNoon = 6,
  kMountainBlue = 7,
};

// The catalogue in archive order: scenes, skies, creature sheets, then sounds.
extern const std::array<ContentItem, kContentCount> kContent;

// The sky band of a scene: the screen height above its ground layer.
int SkyBand(int scene);

}  // namespace sylvora
