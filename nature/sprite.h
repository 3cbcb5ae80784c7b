#pragma once
// A picture sheet placed on screen: the scene layers draw through one each, and every creature set
// keeps one per picture variant as the template its creatures are cut from.
#include <cstdint>

namespace sylvora {

class VideoSystem;

struct Sprite {
  VideoSystem* video = nullptr;  // draws it; null draws nothing
  int surface = 20000;           // surface number of the picture (SurfaceNone until set up)
  int sheetWidth = 0;            // size of the whole picture
  int sheetHeight = 0;
  int x = 0;                     // screen position of the top-left corner
  int y = 0;
  int frameWidth = 0;            // size of one animation frame; the sheet size unless SetFrames
  int frameHeight = 0;
  double frame = 0.0;            // current frame position, 0 <= frame < frameCount
  double frameCount = 1.0;       // frames in one row
  double animationSpeed = 0.0;   // frames per ms
  uint32_t frameClock = 0;       // clock of the last frame advance

  // Places the whole sheet at (0, 0) or at (newX, newY) as one frame that does not animate.
  void Setup(VideoSystem* newVideo, int newSurface, int width, int height);
  void Setup(VideoSystem* newVideo, int newSurface, int width, int height, int newX, int newY);
  // Cuts the sheet into frames of one row, restarting the animation now.
  void SetFrames(int width, int height, double count, double speed);
};

// One of the four picture layers of a scene, switched off when the scene has no such picture.
struct SceneLayer {
  Sprite sprite;
  int enabled = 0;
};

}  // namespace sylvora
