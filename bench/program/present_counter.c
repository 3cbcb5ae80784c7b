/* Preloaded into sylvora by run_program.sh and into both programs by bench_first_frame: counts the frames
 * a program presents (its calls of SDL_RenderPresent, passed on to SDL unchanged) and notes when the
 * first one returned, in a 16-byte file named by SYLVORA_PRESENT_COUNT, mapped shared, so the bench reads
 * them while the program runs. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

/* The file's layout; bench_first_frame reads the same two words. */
struct PresentRecord {
  uint64_t presents;       /* frames presented so far */
  uint64_t firstPresentNs; /* CLOCK_MONOTONIC when the first present returned; 0 before it */
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

void SDL_RenderPresent(void* renderer) {
  static void (*real)(void*);
  if (!real) real = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_RenderPresent");
  real(renderer);
  if (!record) return;
  if (record->presents++ == 0) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    record->firstPresentNs = (uint64_t)now.tv_sec * 1000000000u + (uint64_t)now.tv_nsec;
  }
}
