// Exec to first frame: how long `sylvora /s` takes from its exec to the return of its first present on
// the current display, beside bare_first_frame (plain SDL2 + TurboJPEG drawing the same first scene's
// pictures from the same data file), run in turn the given number of times each, with both medians and
// their ratio. Both programs run with present_counter preloaded, which notes when the first present
// returned; the clock starts just before the exec. sylvora runs with a user of its own whose options fix
// the first scene to scene 0, so both draw the same pictures; ALSOFT_DRIVERS is null unless set.
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
};

// The clock present_counter stamps the first present with.
uint64_t MonotonicNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

// One argument of bare_first_frame: the picture's bytes in the data file, the part drawn and where.
std::string PictureArgument(const sylvora::ArchiveEntry& entry, const LayerPlacement& place, bool keyed) {
  return std::to_string(entry.offset) + ":" + std::to_string(entry.length) + ":" + std::to_string(place.x) + ":" +
         std::to_string(place.y) + ":" + std::to_string(place.width) + ":" + std::to_string(place.height) + ":" +
         (keyed ? "1" : "0");
}

// One picture of the first frame, under its name in the index.
struct DrawnPicture {
  std::string name;
  LayerPlacement place;  // where on the scene screen, and the part of the picture drawn from its top left
  bool keyed;            // black is transparent
};

// The first frame of kScene in sylvora's drawing order: ground, the sky's upper band, overlay, foreground.
std::vector<DrawnPicture> FirstFramePictures() {
  const sylvora::SceneEntry& scene = sylvora::kScenes[kScene];
  std::vector<DrawnPicture> frame = {{sylvora::LayerPictureName(kScene, 0), scene.back0, false},
                                     {scene.skies[0], {sylvora::kSceneWidth, sylvora::SkyBandOf(kScene), 0, 0}, false},
                                     {sylvora::LayerPictureName(kScene, 1), scene.back1, true}};
  if (scene.hasBack2) frame.push_back({sylvora::LayerPictureName(kScene, 2), sylvora::Back2Placement(kScene), true});
  return frame;
}

// The bare program's command line: the data file and the first frame's pictures in it. Empty when the
// installation's index lacks one.
std::vector<std::string> BareCommand(const std::string& installation) {
  sylvora::Report report(static_cast<int>(sylvora::ReportMode::Quiet), "./");
  auto index = std::make_unique<ArchiveTable>();
  if (index->Load(report, installation, sylvora::kGraphicArchive) != 0) return {};
  std::vector<std::string> command = {BARE_FIRST_FRAME, ""};
  for (const DrawnPicture& picture : FirstFramePictures()) {
    int found = 0;
    if (index->Find(picture.name, found) != 0) return {};
    const sylvora::ArchiveEntry& entry = index->Entry(found);
    command[1] = installation + entry.fileName;  // every picture lives in the one data file
    command.push_back(PictureArgument(entry, picture.place, picture.keyed));
  }
  return command;
}

// The environment of a run: ours, with the counter preloaded into the named file and the user's
// directories in the work directory.
std::vector<std::string> RunEnvironment(const std::string& work, const std::string& recordPath) {
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

// Milliseconds from the exec of command to the return of its first present; negative when it ended or
// took too long without presenting.
double FirstFrameMs(std::vector<std::string> command, const std::string& work) {
  const std::string recordPath = work + "/presents";
  volatile PresentRecord* record = MapRecord(recordPath);
  if (!record) return -1;
  std::vector<std::string> environment = RunEnvironment(work, recordPath);
  std::vector<char*> argv = CStrings(command);
  std::vector<char*> envp = CStrings(environment);
  pid_t pid = 0;
  const uint64_t start = MonotonicNs();
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) return -1;
  const auto deadline = std::chrono::steady_clock::now() + kFirstFrameLimit;
  int status = 0;
  while (record->firstPresentNs == 0 && waitpid(pid, &status, WNOHANG) == 0 &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  const uint64_t firstPresent = record->firstPresentNs;
  Stop(pid);
  munmap(const_cast<PresentRecord*>(record), sizeof(PresentRecord));
  return firstPresent ? static_cast<double>(firstPresent - start) / 1e6 : -1;
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

// Runs both programs in turn, after one run of each not counted (it warms the file cache); false when a
// run failed.
bool Measure(const std::vector<std::string>& ours, const std::vector<std::string>& bare, int runs,
             const std::string& work, std::vector<double>& oursMs, std::vector<double>& bareMs) {
  if (FirstFrameMs(ours, work) < 0 || FirstFrameMs(bare, work) < 0) return false;
  for (int run = 0; run < runs; ++run) {
    oursMs.push_back(FirstFrameMs(ours, work));
    bareMs.push_back(FirstFrameMs(bare, work));
    if (oursMs.back() < 0 || bareMs.back() < 0) return false;
  }
  return true;
}

// One line of the result: the median run and the spread.
void PrintFigures(const char* what, const std::vector<double>& ms) {
  std::printf("%-22s median %7.1f ms  (min %.1f, max %.1f)\n", what, Median(ms),
              *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()));
}

// Says why there are no figures; the exit status.
int Fail(const char* text) {
  std::fprintf(stderr, "bench_first_frame: %s\n", text);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 11;
  const std::vector<std::string> ours = {argc > 2 ? argv[2] : SYLVORA_PROGRAM, "/s"};
  if (runs < 1) return Fail("usage: bench_first_frame [runs] [sylvora program]");
  if (!std::getenv("DISPLAY")) return Fail("no display (DISPLAY is not set)");
  std::string installation;
  if (!sylvora::ReadInstallPath(sylvora::InstallPathFile(), installation)) {
    return Fail(("no installation: stage one first (cmake --install <build>); " + sylvora::InstallPathFile()).c_str());
  }
  const std::vector<std::string> bare = BareCommand(installation + "/");
  if (bare.empty()) return Fail("the installation's data.nrx lacks the first scene's pictures");
  char workTemplate[] = "/tmp/first_frame.XXXXXX";
  const std::string work = mkdtemp(workTemplate) ? workTemplate : "";
  std::vector<double> oursMs, bareMs;
  const bool measured = !work.empty() && MakeUser(work) && Measure(ours, bare, runs, work, oursMs, bareMs);
  if (!work.empty()) std::filesystem::remove_all(work);
  if (!measured) return Fail("a program did not present a frame");
  std::printf("exec to first present on display %s, %d runs each, in turn:\n", std::getenv("DISPLAY"), runs);
  PrintFigures("sylvora /s", oursMs);
  PrintFigures("bare SDL + TurboJPEG", bareMs);
  std::printf("ratio sylvora / bare: %.2f\n", Median(oursMs) / Median(bareMs));
  return 0;
}
