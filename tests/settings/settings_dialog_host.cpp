// A stand-in for the shell's configure mode in the end-to-end tests: shows the settings dialog on the
// user's settings (machine defaults from the installation directory named on the command line) and exits with the dialog's result (1 OK, 0 Cancel;
// 3 when the dialog could not be shown).
#include <cstdio>
#include <string>

#include "platform/user_dirs.h"
#include "report/report.h"
#include "settings/run_settings.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: settings_dialog_host <installation directory>\n");
    return 2;
  }
  const std::string resourcePath = std::string(argv[1]) + "\\";
  sylvora::Report report(static_cast<int>(sylvora::ReportMode::Quiet), sylvora::UserStateDirectory());
  sylvora::Options options;
  const int result = sylvora::RunSettingsDialog(options, &report, {sylvora::UserConfigDirectory(), resourcePath});
  if (result < 0) std::fprintf(stderr, "%s\n", report.LastError().text.c_str());
  std::printf("%d\n", result);
  return result < 0 ? 3 : result;
}
