// sylvora-content: paints every picture and synthesises every sound the screensaver asks for, then
// packs them into data.nrx and one data file.
//
//   sylvora-content OUTPUT_DIR [--loose] [--contact-sheet FILE.png] [--threads N]
//
// --loose also writes graphics/ and sounds/ with one file per resource; --contact-sheet writes the
// contact sheet and the composed scenes. The output is the same on every run.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "content/contact_sheet.h"
#include "content/generator.h"

namespace {

const char* const kUsage =
    "usage: sylvora-content OUTPUT_DIR [--loose] [--contact-sheet FILE.png] [--threads N]\n"
    "Paints every picture and synthesises every sound of Sylvora Screensaver into OUTPUT_DIR/data.nrx\n"
    "and its data file. --loose also writes graphics/ and sounds/; --contact-sheet writes a sheet of\n"
    "every picture and a sonogram sheet of every sound beside FILE.png.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  // An option in place of the directory is a mistake, not a directory to fill.
  if (argc < 2 || argv[1][0] == '-') {
    if (argc >= 2) std::fprintf(stderr, "sylvora-content: unknown option %s\n", argv[1]);
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string directory = argv[1];
  bool loose = false;
  std::string contactSheet;
  int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--loose") == 0) {
      loose = true;
    } else if (std::strcmp(argv[i], "--contact-sheet") == 0 && i + 1 < argc) {
      contactSheet = argv[++i];
    } else if (std::strcmp(argv[i], "--threads") == 0 && i + 1 < argc) {
      threads = std::max(1, std::atoi(argv[++i]));
    } else {
      std::fprintf(stderr, "sylvora-content: unknown argument %s\n", argv[i]);
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  const auto start = std::chrono::steady_clock::now();
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  const std::vector<sylvora::MadeResource> made = sylvora::MakeAllResources(threads);
  if (!sylvora::WriteContentArchive(directory, made)) {
    std::fprintf(stderr, "sylvora-content: cannot write the archive in %s\n", directory.c_str());
    return 1;
  }
  if (loose && !sylvora::WriteLooseFiles(directory, made)) {
    std::fprintf(stderr, "sylvora-content: cannot write the loose files in %s\n", directory.c_str());
    return 1;
  }
  if (!contactSheet.empty() && !sylvora::WriteContactSheet(contactSheet, made)) {
    std::fprintf(stderr, "sylvora-content: cannot write %s\n", contactSheet.c_str());
    return 1;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("sylvora-content: %zu resources in %s/data.nrx (%.1f s on %d threads)\n", made.size(),
              directory.c_str(), seconds, threads);
  return 0;
}
