#pragma once
// What the scene manager and the ambient sound are built with. The shell hands them its objects once
// A0_Open has created the video and audio objects; the nature tests hand them their own.
namespace sylvora {

class Report;
class VideoSystem;
class AudioSystem;
struct Options;
struct LayerTable;

struct NatureContext {
  // Where failures are reported; also handed to the theme.
  Report* report = nullptr;
  // Null when there is none: no picture is loaded and nothing is drawn.
  VideoSystem* video = nullptr;
  // Null when there is none: nothing is heard.
  AudioSystem* audio = nullptr;
  // The user's settings, read anew at every scene change and song. Never null.
  const Options* options = nullptr;
  // Where each owner sets its layer's flags for the frame loop. Never null.
  LayerTable* layerTable = nullptr;
};

}  // namespace sylvora
