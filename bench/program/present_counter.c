/* Preloaded into sylvora by run_program.sh and into both programs by bench_first_frame: counts the frames
 * a program presents (its calls of SDL_RenderPresent, and of SDL_UpdateWindowSurfaceRects, with which a
 * frame is shown only where it changed; passed on to SDL unchanged), notes when the first
 * one returned and which renderer at what output size presented it, and the longest interval between
 * two presents and how many were late, in a file named by SYLVORA_PRESENT_COUNT, mapped shared, so the
 * bench reads them while the program runs. */
#define _GNU_SOURCE
#include <SDL.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

/* A present later than one and a half frame periods at 60 frames a second after the one before: a frame
 * was dropped. */
#define LATE_FRAME_NS 25000000u

/* The file's layout, 88 bytes; bench_first_frame and run_program.sh read the same fields. */
struct PresentRecord {
  uint64_t presents;       /* frames presented so far */
  uint64_t firstPresentNs; /* CLOCK_MONOTONIC when the first present returned; 0 before it */
  char renderer[40];       /* SDL's name of the renderer of the first present, NUL-terminated */
  int32_t outputWidth;     /* its output size in pixels */
  int32_t outputHeight;
  uint64_t lastPresentNs; /* when the latest present returned */
  uint64_t longestGapNs;  /* the longest interval between two presents; the bench may zero it */
  uint64_t latePresents;  /* presents that came more than LATE_FRAME_NS after the one before */
};

static volatile struct PresentRecord* record;

__attribute__((constructor)) static void MapRecord(void) {
  const char* path = getenv("SYLVORA_PRESENT_COUNT");
  const int file = path ? open(path, O_RDWR | O_CREAT, 0600) : -1;
  if (file < 0) return;
  if (ftruncate(file, sizeof(struct PresentRecord)) == 0) {
    void* mapped = mmap(NULL, sizeof(struct PresentRecord), PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
    if (mapped != MAP_FAILED) record = mapped;
  }
  close(file);
}

/* The renderer's name and output size, asked of the SDL the program loaded. */
static void NoteRenderer(SDL_Renderer* renderer) {
  int (*getInfo)(SDL_Renderer*, SDL_RendererInfo*) = dlsym(RTLD_DEFAULT, "SDL_GetRendererInfo");
  int (*getSize)(SDL_Renderer*, int*, int*) = dlsym(RTLD_DEFAULT, "SDL_GetRendererOutputSize");
  SDL_RendererInfo info;
  int width = 0, height = 0;
  if (getInfo && getInfo(renderer, &info) == 0 && info.name) {
    strncpy((char*)record->renderer, info.name, sizeof record->renderer - 1);
  }
  if (getSize && getSize(renderer, &width, &height) == 0) {
    record->outputWidth = width;
    record->outputHeight = height;
  }
}

/* Counts one present by renderer, just returned, and times it against the one before. */
static void Presented(SDL_Renderer* renderer) {
  if (!record) return;
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  const uint64_t nowNs = (uint64_t)now.tv_sec * 1000000000u + (uint64_t)now.tv_nsec;
  if (record->presents++ == 0) {
    /* The renderer is noted before the stamp, which tells the bench that the record is complete. */
    NoteRenderer(renderer);
    record->firstPresentNs = nowNs;
  } else {
    const uint64_t gap = nowNs - record->lastPresentNs;
    if (gap > record->longestGapNs) record->longestGapNs = gap;
    if (gap > LATE_FRAME_NS) record->latePresents++;
  }
  record->lastPresentNs = nowNs;
}

void SDL_RenderPresent(SDL_Renderer* renderer) {
  static void (*real)(SDL_Renderer*);
  if (!real) real = (void (*)(SDL_Renderer*))dlsym(RTLD_NEXT, "SDL_RenderPresent");
  real(renderer);
  Presented(renderer);
}

/* A frame shown only where it changed, on the software renderer's window: a present too. */
int SDL_UpdateWindowSurfaceRects(SDL_Window* window, const SDL_Rect* rects, int count) {
  static int (*real)(SDL_Window*, const SDL_Rect*, int);
  static SDL_Renderer* (*rendererOf)(SDL_Window*);
  if (!real) real = (int (*)(SDL_Window*, const SDL_Rect*, int))dlsym(RTLD_NEXT, "SDL_UpdateWindowSurfaceRects");
  if (!rendererOf) rendererOf = (SDL_Renderer * (*)(SDL_Window*)) dlsym(RTLD_DEFAULT, "SDL_GetRenderer");
  const int result = real(window, rects, count);
  Presented(rendererOf(window));
  return result;
}
