// Fills a test installation directory for the program's end-to-end runs: data.nrx with the scene test
// pictures (and, with --sounds, a low background hum and high bird "songs" that a recording can tell
// apart), and an options.ini holding a still scene.
//
//   make_test_install DIR [--sounds]
#include <cstdio>
#include <string>
#include <vector>

#include "archive/index_writer.h"
#include "core/options.h"
#include "report/report.h"
#include "tests/audio/ogg_writer.h"
#include "tests/nature/scene_content.h"

namespace {

// The background is a 220 Hz hum, every song a 3 kHz whistle: a band filter separates them.
void AddSounds(std::vector<sylvora::PackItem>& items) {
  sylvora::ToneSpec hum;
  hum.channels = 2;
  hum.seconds = 2.0;
  hum.frequency = 220.0;
  items.push_back({2, "backmain", sylvora::EncodeOggTone(hum)});
  sylvora::ToneSpec whistle;
  whistle.seconds = 0.4;
  whistle.frequency = 3000.0;
  for (int song = 0; song < 7; ++song) items.push_back({2, "back" + std::to_string(song), sylvora::EncodeOggTone(whistle)});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_test_install DIR [--sounds]\n");
    return 2;
  }
  const std::string directory = argv[1];
  std::vector<sylvora::PackItem> items = sylvora::SceneTestPictures();
  if (argc > 2 && std::string(argv[2]) == "--sounds") AddSounds(items);
  if (!sylvora::WriteArchive(directory, items, "data.dat")) return 1;

  // Scene 0 standing still: no creatures, no sky motion, no scene change.
  sylvora::Options still;
  still.nature_view = 0;
  still.background_animation = 0;
  still.speed_of_sky = 0;
  sylvora::Report log(1, directory + "/");
  // Written as the machine's defaults: the runs' users have no settings of their own.
  return sylvora::SaveOptions(still, &log, {directory + "/", directory + "/"}) == 0 ? 0 : 1;
}
