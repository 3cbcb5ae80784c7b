#include "nature/sprite.h"

#include "platform/clock.h"
#include "video/video_system.h"

namespace sylvora {

void Sprite::Setup(VideoSystem* newVideo, int newSurface, int width, int height) {
  Setup(newVideo, newSurface, width, height, 0, 0);
}

void Sprite::Setup(VideoSystem* newVideo, int newSurface, int width, int height, int newX, int newY) {
  video = newVideo;
  surface = newSurface;
  sheetWidth = frameWidth = width;
  sheetHeight = frameHeight = height;
  x = newX;
  y = newY;
  frame = 0.0;
  frameCount = 1.0;
  animationSpeed = 0.0;
}

void Sprite::SetFrames(int width, int height, double count, double speed) {
  frameWidth = width;
  frameHeight = height;
  frameCount = count;
  animationSpeed = speed;
  frame = 0.0;
  frameClock = TimeGetTime();
}

}  // namespace sylvora
