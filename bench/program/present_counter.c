/* Preloaded into sylvora by run_program.sh: counts the frames the program presents (its calls of
 * SDL_RenderPresent, passed on to SDL unchanged) in an 8-byte file named by SYLVORA_PRESENT_COUNT,
 * mapped shared, so the bench reads the count while the program runs. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

static volatile uint64_t* presents;

__attribute__((constructor)) static void MapCount(void) {
  const char* path = getenv("SYLVORA_PRESENT_COUNT");
  const int file = path ? open(path, O_RDWR | O_CREAT, 0600) : -1;
  if (file < 0) return;
  if (ftruncate(file, sizeof(uint64_t)) == 0) {
    void* mapped = mmap(NULL, sizeof(uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
    if (mapped != MAP_FAILED) presents = mapped;
  }
  close(file);
}

void SDL_RenderPresent(void* renderer) {
  static void (*real)(void*);
  if (!real) real = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_RenderPresent");
  if (presents) ++*presents;
  real(renderer);
}
