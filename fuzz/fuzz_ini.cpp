// Feeds any bytes to the options loader as options.ini: it must give defaults or parsed values, never crash.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/options.h"
#include "inifile/ini_file.h"
#include "report/report.h"
#include "tests/doubles/memory_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static sylvora::MemoryFileSystem files;
  static sylvora::ScopedFileSystem installed(files);
  static sylvora::Report report(1, "/install/");
  files.Put("/install/options.ini", std::string(reinterpret_cast<const char*>(data), size));
  sylvora::Options options;
  sylvora::LoadOptions(options, &report, {"/install/", "/install/"});
  sylvora::IniFile file(&report, "/install/");
  if (file.Load("options.ini") == 0) {
    for (int type = 0; type < 4; ++type) {
      for (int k = 0; k < file.Count(); ++k) file.Get(type, file.Parameter(k).name);
    }
  }
  return 0;
}
