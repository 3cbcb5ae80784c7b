// Feeds any bytes to both index readers as data.nrx: a loaded table or the not-found/corrupted error, never
// a crash or an out-of-bounds read.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "archive/resource_index.h"
#include "report/report.h"
#include "tests/doubles/memory_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static sylvora::MemoryFileSystem files;
  static sylvora::ScopedFileSystem installed(files);
  static sylvora::Report report(1, "/install/");
  static auto table = std::make_unique<sylvora::ArchiveTable>();
  files.Put("/install/data.nrx", std::string(reinterpret_cast<const char*>(data), size));
  for (const auto* config : {&sylvora::kGraphicArchive, &sylvora::kSoundArchive}) {
    if (table->Load(report, "/install/", *config) == 0 && table->Count() > 0) {
      int index = 0;
      table->Find(table->Entry(table->Count() - 1).name, index);
    }
  }
  return 0;
}
