// nrxpack: packs resources into data.nrx and one data file.
//
//   nrxpack OUTPUT_DIR DATA_FILE_NAME LIST_FILE
//
// Each line of LIST_FILE is "type name source-file" (blank lines and lines starting with # are skipped);
// the resources are packed in list order.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "archive/index_writer.h"
#include "platform/files.h"

namespace {

// No resource we pack comes near this; a larger source is a mistake in the list, not something to pack.
constexpr size_t kSourceByteLimit = size_t{256} << 20;

bool ReadList(const std::string& listFile, std::vector<sylvora::PackItem>& items) {
  std::ifstream list(listFile);
  if (!list) {
    std::fprintf(stderr, "nrxpack: cannot read %s\n", listFile.c_str());
    return false;
  }
  std::string line;
  for (int number = 1; std::getline(list, line); ++number) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    sylvora::PackItem item;
    std::string source;
    if (!(fields >> item.type >> item.name >> source)) {
      std::fprintf(stderr, "nrxpack: %s:%d: expected \"type name source-file\"\n", listFile.c_str(), number);
      return false;
    }
    if (!sylvora::ReadWholeFile(source, kSourceByteLimit, item.bytes)) {
      std::fprintf(stderr, "nrxpack: cannot read %s\n", source.c_str());
      return false;
    }
    items.push_back(std::move(item));
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: nrxpack OUTPUT_DIR DATA_FILE_NAME LIST_FILE\n");
    return 2;
  }
  std::vector<sylvora::PackItem> items;
  if (!ReadList(argv[3], items)) return 1;
  if (!sylvora::WriteArchive(argv[1], items, argv[2])) {
    std::fprintf(stderr, "nrxpack: cannot write the archive in %s\n", argv[1]);
    return 1;
  }
  std::printf("nrxpack: %zu resources packed into %s/data.nrx\n", items.size(), argv[1]);
  return 0;
}
