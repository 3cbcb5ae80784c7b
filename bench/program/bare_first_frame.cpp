// The yardstick bench_first_frame holds sylvora's start-up against: a plain SDL2 + TurboJPEG program with
// none of our code, which makes a full-screen window ready for OpenGL, takes the renderer SDL picks (or
// the one SDL_RENDER_DRIVER names), decodes the same pictures from the same data file, uploads them as
// textures, draws them where the first scene puts them on its 640 x 480 screen, each copy scaled with
// filtering onto the output's own pixels, and presents that one frame. Then it waits for SIGTERM, as the
// screensaver does. Overlays are keyed in one pass: pixels below the threshold become transparent.
//
// Usage: bare_first_frame <data file> <picture>...
//   picture: offset:length:x:y:width:height:threshold:scale, in drawing order. threshold: red + green +
//   blue below it is transparent (0: opaque picture, 1: pure black only); scale: picture pixels per
//   scene pixel along each side (3 for a three-times picture, 1 otherwise).
#include <SDL.h>
#include <turbojpeg.h>

#include <cstdio>
#include <vector>

#include "bench/bare_pictures.h"

namespace {

constexpr int kSceneWidth = 640;
constexpr int kSceneHeight = 480;

// One picture of the frame: where its bytes are, and the rectangle of it drawn where.
struct Picture {
  long offset = 0;
  long length = 0;
  SDL_Rect drawn{};  // x, y on the scene screen; width and height of the part drawn from the top left
  int threshold = 0;
  int scale = 1;
};

bool ParsePicture(const char* text, Picture& picture) {
  const int fields =
      std::sscanf(text, "%ld:%ld:%d:%d:%d:%d:%d:%d", &picture.offset, &picture.length, &picture.drawn.x,
                  &picture.drawn.y, &picture.drawn.w, &picture.drawn.h, &picture.threshold, &picture.scale);
  return fields == 8 && picture.length > 0 && picture.scale > 0;
}

// The picture's texture, keyed when it has a threshold; null on failure.
SDL_Texture* LoadTexture(SDL_Renderer* renderer, tjhandle decoder, std::FILE* data, const Picture& picture) {
  bare::Pixels pixels;
  if (!bare::Decode(decoder, bare::ReadBytes(data, picture.offset, picture.length), pixels)) return nullptr;
  if (picture.threshold > 0) bare::KeyNearBlack(pixels, picture.threshold);
  return bare::Upload(renderer, pixels, picture.threshold > 0);
}

// A rectangle of the scene screen scaled to the renderer's output.
SDL_Rect Stretched(const SDL_Rect& scene, int outputWidth, int outputHeight) {
  return {scene.x * outputWidth / kSceneWidth, scene.y * outputHeight / kSceneHeight,
          scene.w * outputWidth / kSceneWidth, scene.h * outputHeight / kSceneHeight};
}

// Loads every picture into a texture and draws it; false when one fails.
bool DrawPictures(SDL_Renderer* renderer, const char* dataPath, const std::vector<Picture>& pictures) {
  std::FILE* data = std::fopen(dataPath, "rb");
  if (!data) return false;
  tjhandle decoder = tjInitDecompress();
  int outputWidth = 0, outputHeight = 0;
  SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight);
  bool drawn = decoder != nullptr;
  for (const Picture& picture : pictures) {
    SDL_Texture* texture = drawn ? LoadTexture(renderer, decoder, data, picture) : nullptr;
    const SDL_Rect from{0, 0, picture.drawn.w * picture.scale, picture.drawn.h * picture.scale};
    const SDL_Rect to = Stretched(picture.drawn, outputWidth, outputHeight);
    drawn = texture && SDL_RenderCopy(renderer, texture, &from, &to) == 0;
    SDL_DestroyTexture(texture);
  }
  if (decoder) tjDestroy(decoder);
  std::fclose(data);
  return drawn;
}

// Says what went wrong; returns the exit status given.
int Fail(int status, const char* what, const char* detail) {
  std::fprintf(stderr, "bare_first_frame: %s%s\n", what, detail);
  return status;
}

// Waits for SDL's quit event, which SIGTERM raises.
void WaitForQuit() {
  SDL_Event event;
  while (SDL_WaitEvent(&event) && event.type != SDL_QUIT) {
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<Picture> pictures(argc > 2 ? argc - 2 : 0);
  for (int i = 2; i < argc; ++i) {
    if (!ParsePicture(argv[i], pictures[i - 2])) return Fail(2, "bad picture ", argv[i]);
  }
  if (pictures.empty()) return Fail(2, "usage: bare_first_frame <data file> <picture>...", "");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return Fail(1, "SDL: ", SDL_GetError());
  // Made at the desktop's size: without a window manager nothing else would size it.
  SDL_DisplayMode desktop{};
  SDL_GetDesktopDisplayMode(0, &desktop);
  SDL_Window* window = SDL_CreateWindow("bare first frame", 0, 0, desktop.w, desktop.h,
                                        SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS | SDL_WINDOW_OPENGL);
  SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC) : nullptr;
  if (!renderer) return Fail(1, "SDL: ", SDL_GetError());
  SDL_RenderClear(renderer);
  if (!DrawPictures(renderer, argv[1], pictures)) return Fail(1, "a picture did not load from ", argv[1]);
  SDL_RenderPresent(renderer);
  WaitForQuit();
  SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
