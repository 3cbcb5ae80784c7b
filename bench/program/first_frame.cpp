// Exec to first frame: how long `sylvora /s` takes from its exec to the return of its first present on
// the current display, beside bare_first_frame (plain SDL2 + TurboJPEG drawing the same first scene's
// pictures from the same data file), run in turn the given number of times each, with both medians and
// their ratio; once for each display path. The native path (sylvora /s) is held against the bare program
// drawing the three-times pictures, the classic one (sylvora /s --retro) against it drawing the pictures
// at their own size; the bare program takes the renderer sylvora presented its first frame with (SDL's
// software renderer where OpenGL would rasterise on the processor; sylvora finds that out with a probe
// the bare program is spared). Both programs run with present_counter preloaded, which notes when the
// first present returned and on which renderer; the clock starts just before the exec. sylvora runs with
// a user of its own whose options fix the first scene to scene 0, so both draw the same pictures;
// ALSOFT_DRIVERS is null unless set.
//
// Usage: bench_first_frame [runs (default 11)] [sylvora program (default: this build's)]
// It needs a display (DISPLAY) and a staged installation: the install-path file this build reads must
// name the content (cmake --install <build>, as scripts/run stages one).
#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "archive/high_resolution.h"
#include "archive/resource_index.h"
#include "nature/scene_catalogue.h"
#include "platform/install_path.h"
#include "report/report.h"

extern char** environ;

namespace {

using sylvora::ArchiveTable;
using sylvora::LayerPlacement;

// The scene sylvora is told to start with, and whose pictures the bare program draws.
constexpr int kScene = 0;
// How long a program may take to present its first frame, and to end after SIGTERM.
constexpr auto kFirstFrameLimit = std::chrono::seconds(20);
constexpr auto kExitLimit = std::chrono::seconds(5);

// What present_counter writes into the shared file.
struct PresentRecord {
  uint64_t presents;
  uint64_t firstPresentNs;
  char renderer[40];
  int32_t outputWidth;
  int32_t outputHeight;
  uint64_t frameGapFields[3];  // the frame intervals run_program.sh reads; the file is this long
};

// What one run of a program showed: milliseconds from exec to its first present (negative when it ended
// or took too long without presenting), and the renderer and output size of that present.
struct FirstFrame {
  double ms = -1;
  std::string renderer;
  int width = 0;
  int height = 0;
};

// One display path's pair of programs, and the renderer they are held to.
struct PathPair {
  const char* title;
  std::vector<std::string> ours;
  std::vector<std::string> bare;
  FirstFrame oursSeen;  // sylvora's run not counted: its renderer is the one the bare program is told to take
};

// The clock present_counter stamps the first present with.
uint64_t MonotonicNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

// One picture of the first frame, under its name in the index.
struct DrawnPicture {
  std::string name;
  LayerPlacement place;  // where on the scene screen, and the part of the picture drawn from its top left
  int threshold;         // red + green + blue below it is transparent; 0 for an opaque picture
};

// One argument of bare_first_frame: the picture's bytes in the data file, the rectangle drawn and where, its
// key threshold and its scale.
std::string PictureArgument(const sylvora::ArchiveEntry& entry, const DrawnPicture& picture, int scale) {
  const LayerPlacement& place = picture.place;
  std::string argument;
  for (const long value : {long{entry.offset}, long{entry.length}, long{place.x}, long{place.y}, long{place.width},
                           long{place.height}, long{picture.threshold}, long{scale}}) {
    argument += (argument.empty() ? "" : ":") + std::to_string(value);
  }
  return argument;
}

// The first frame of kScene in sylvora's drawing order: ground, the sky's upper band, overlay, foreground.
// The overlays keep to the catalogue's thresholds, at least pure black.
std::vector<DrawnPicture> FirstFramePictures() {
  const sylvora::SceneEntry& scene = sylvora::kScenes[kScene];
  std::vector<DrawnPicture> frame = {
      {sylvora::LayerPictureName(kScene, 0), scene.back0, 0},
      {scene.skies[0], {sylvora::kSceneWidth, sylvora::SkyBandOf(kScene), 0, 0}, 0},
      {sylvora::LayerPictureName(kScene, 1), scene.back1, std::max(1, int{scene.back1Threshold})}};
  if (scene.hasBack2) {
    frame.push_back({sylvora::LayerPictureName(kScene, 2), sylvora::Back2Placement(kScene),
                     std::max(1, int{scene.back2Threshold})});
  }
  return frame;
}

// The bare program's command line: the data file and the first frame's pictures in it, their
// three-times twins where the index has them when highResolution. Empty when the index lacks one.
std::vector<std::string> BareCommand(const std::string& installation, bool highResolution) {
  sylvora::Report report(static_cast<int>(sylvora::ReportMode::Quiet), "./");
  auto index = std::make_unique<ArchiveTable>();
  if (index->Load(report, installation, sylvora::kGraphicArchive) != 0) return {};
  std::vector<std::string> command = {BARE_FIRST_FRAME, ""};
  for (const DrawnPicture& picture : FirstFramePictures()) {
    int found = 0;
    const bool twin = highResolution && index->Find(sylvora::HighResolutionName(picture.name), found) == 0;
    if (!twin && index->Find(picture.name, found) != 0) return {};
    const sylvora::ArchiveEntry& entry = index->Entry(found);
    command[1] = installation + entry.fileName;  // every picture lives in the one data file
    command.push_back(PictureArgument(entry, picture, twin ? sylvora::kHighResolutionScale : 1));
  }
  return command;
}

// The environment of a run: ours, with the counter preloaded into the named file and the user's
// directories in the work directory. A renderer named is asked of SDL through its environment hint, and
// for SDL's software renderer the window is given X's own images rather than an OpenGL texture, as
// sylvora gives it when it picks that renderer.
std::vector<std::string> RunEnvironment(const std::string& work, const std::string& recordPath,
                                        const std::string& renderer) {
  std::vector<std::string> variables;
  for (char** variable = environ; *variable; ++variable) {
    const std::string text = *variable;
    if (!text.starts_with("LD_PRELOAD=") && !text.starts_with("XDG_CONFIG_HOME=") &&
        !text.starts_with("XDG_STATE_HOME=")) {
      variables.push_back(text);
    }
  }
  variables.push_back(std::string("LD_PRELOAD=") + PRESENT_COUNTER);
  variables.push_back("SYLVORA_PRESENT_COUNT=" + recordPath);
  variables.push_back("XDG_CONFIG_HOME=" + work + "/config");
  variables.push_back("XDG_STATE_HOME=" + work + "/state");
  if (!std::getenv("ALSOFT_DRIVERS")) variables.push_back("ALSOFT_DRIVERS=null");
  if (!renderer.empty()) variables.push_back("SDL_RENDER_DRIVER=" + renderer);
  if (renderer == "software") variables.push_back("SDL_FRAMEBUFFER_ACCELERATION=0");
  return variables;
}

// A null-terminated array of the strings' characters, as exec takes them.
std::vector<char*> CStrings(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& text : strings) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// A fresh, zeroed record file mapped shared; null on failure.
volatile PresentRecord* MapRecord(const std::string& path) {
  std::remove(path.c_str());
  const int file = open(path.c_str(), O_RDWR | O_CREAT, 0600);
  if (file < 0) return nullptr;
  void* mapped = ftruncate(file, sizeof(PresentRecord)) == 0
                     ? mmap(nullptr, sizeof(PresentRecord), PROT_READ | PROT_WRITE, MAP_SHARED, file, 0)
                     : MAP_FAILED;
  close(file);
  return mapped == MAP_FAILED ? nullptr : static_cast<volatile PresentRecord*>(mapped);
}

// Ends the program as a daemon ends one, with SIGTERM, and SIGKILL when it lingers.
void Stop(pid_t pid) {
  kill(pid, SIGTERM);
  const auto deadline = std::chrono::steady_clock::now() + kExitLimit;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// The first frame of command, run with the renderer named (empty: the one it picks itself).
FirstFrame RunToFirstFrame(std::vector<std::string> command, const std::string& work, const std::string& renderer) {
  const std::string recordPath = work + "/presents";
  volatile PresentRecord* record = MapRecord(recordPath);
  if (!record) return {};
  std::vector<std::string> environment = RunEnvironment(work, recordPath, renderer);
  std::vector<char*> argv = CStrings(command);
  std::vector<char*> envp = CStrings(environment);
  pid_t pid = 0;
  const uint64_t start = MonotonicNs();
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) return {};
  const auto deadline = std::chrono::steady_clock::now() + kFirstFrameLimit;
  int status = 0;
  while (record->firstPresentNs == 0 && waitpid(pid, &status, WNOHANG) == 0 &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  FirstFrame seen;
  if (const uint64_t firstPresent = record->firstPresentNs) {
    seen = {static_cast<double>(firstPresent - start) / 1e6, const_cast<const char*>(record->renderer),
            record->outputWidth, record->outputHeight};
  }
  Stop(pid);
  munmap(const_cast<PresentRecord*>(record), sizeof(PresentRecord));
  return seen;
}

// The middle value, or the mean of the two middle ones.
double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// A user of our own whose options start sylvora on kScene.
bool MakeUser(const std::string& work) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::create_directories(work + "/config/sylvora", error);
  fs::create_directories(work + "/state", error);
  std::FILE* options = std::fopen((work + "/config/sylvora/options.ini").c_str(), "w");
  if (!options) return false;
  std::fprintf(options, "nature_view = %d;\n", kScene);
  return std::fclose(options) == 0;
}

// Runs both programs of the pair in turn, after one run of each not counted (it warms the file cache and
// tells which renderer sylvora takes, which the bare program is then given); false when a run failed.
bool Measure(PathPair& pair, int runs, const std::string& work, std::vector<double>& oursMs,
             std::vector<double>& bareMs) {
  pair.oursSeen = RunToFirstFrame(pair.ours, work, "");
  const std::string& renderer = pair.oursSeen.renderer;
  if (pair.oursSeen.ms < 0 || RunToFirstFrame(pair.bare, work, renderer).ms < 0) return false;
  for (int run = 0; run < runs; ++run) {
    oursMs.push_back(RunToFirstFrame(pair.ours, work, "").ms);
    const FirstFrame bare = RunToFirstFrame(pair.bare, work, renderer);
    bareMs.push_back(bare.renderer == renderer ? bare.ms : -1);
    if (oursMs.back() < 0 || bareMs.back() < 0) return false;
  }
  return true;
}

// One line of the result: the median run and the spread.
void PrintFigures(const char* what, const std::vector<double>& ms) {
  std::printf("  %-22s median %7.1f ms  (min %.1f, max %.1f)\n", what, Median(ms),
              *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()));
}

// Measures one pair and prints its figures; false when a run failed.
bool MeasureAndPrint(PathPair& pair, int runs, const std::string& work) {
  std::vector<double> oursMs, bareMs;
  if (!Measure(pair, runs, work, oursMs, bareMs)) return false;
  std::printf("%s, renderer %s, output %d x %d:\n", pair.title, pair.oursSeen.renderer.c_str(), pair.oursSeen.width,
              pair.oursSeen.height);
  PrintFigures("sylvora", oursMs);
  PrintFigures("bare SDL + TurboJPEG", bareMs);
  std::printf("  ratio sylvora / bare: %.2f\n", Median(oursMs) / Median(bareMs));
  return true;
}

// Says why there are no figures; the exit status.
int Fail(const char* text) {
  std::fprintf(stderr, "bench_first_frame: %s\n", text);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 11;
  const std::string program = argc > 2 ? argv[2] : SYLVORA_PROGRAM;
  if (runs < 1) return Fail("usage: bench_first_frame [runs] [sylvora program]");
  if (!std::getenv("DISPLAY")) return Fail("no display (DISPLAY is not set)");
  std::string installation;
  if (!sylvora::ReadInstallPath(sylvora::InstallPathFile(), installation)) {
    return Fail(("no installation: stage one first (cmake --install <build>); " + sylvora::InstallPathFile()).c_str());
  }
  std::vector<PathPair> pairs = {{"native path (sylvora /s; bare: three-times pictures)",
                                  {program, "/s"},
                                  BareCommand(installation + "/", true),
                                  {}},
                                 {"classic path (sylvora /s --retro; bare: pictures at their own size)",
                                  {program, "/s", "--retro"},
                                  BareCommand(installation + "/", false),
                                  {}}};
  if (pairs[0].bare.empty() || pairs[1].bare.empty()) {
    return Fail("the installation's data.nrx lacks the first scene's pictures");
  }
  char workTemplate[] = "/tmp/first_frame.XXXXXX";
  const std::string work = mkdtemp(workTemplate) ? workTemplate : "";
  if (work.empty() || !MakeUser(work)) return Fail("no work directory");
  std::printf("exec to first present on display %s, %d runs each, in turn:\n", std::getenv("DISPLAY"), runs);
  bool measured = true;
  for (PathPair& pair : pairs) measured = measured && MeasureAndPrint(pair, runs, work);
  std::filesystem::remove_all(work);
  return measured ? 0 : Fail("a program did not present a frame, or not on sylvora's renderer");
}
