#include "archive/index_writer.h"

#include "archive/little_endian.h"
#include "platform/files.h"

namespace sylvora {

std::string EncodeIndexString(std::string_view text) {
  std::string out;
  const size_t length = text.size();
  if (length < 0xFF) {
    out += static_cast<char>(length);
  } else {
    out += static_cast<char>(0xFF);
    if (length < 0xFFFE) {
      AppendU16(out, static_cast<uint32_t>(length));
    } else {
      AppendU16(out, 0xFFFF);
      AppendU32(out, static_cast<uint32_t>(length));
    }
  }
  out.append(text);
  return out;
}

std::string BuildIndex(const std::vector<PackItem>& items, const std::string& dataFileName) {
  std::string out = EncodeIndexString("NRX");
  AppendU32(out, 1);
  AppendU32(out, static_cast<uint32_t>(items.size()));
  uint32_t offset = 0;
  for (const PackItem& item : items) {
    AppendU32(out, static_cast<uint32_t>(item.type));
    out += EncodeIndexString(dataFileName);
    out += EncodeIndexString(item.name);
    AppendU32(out, offset);
    AppendU32(out, static_cast<uint32_t>(item.bytes.size()));
    offset += static_cast<uint32_t>(item.bytes.size());
  }
  return out;
}

std::string BuildDataFile(const std::vector<PackItem>& items) {
  std::string out;
  for (const PackItem& item : items) out += item.bytes;
  return out;
}

bool WriteArchive(const std::string& directory, const std::vector<PackItem>& items,
                  const std::string& dataFileName) {
  return Files().WriteWhole(directory + "/" + dataFileName, BuildDataFile(items)) &&
         Files().WriteWhole(directory + "/data.nrx", BuildIndex(items, dataFileName));
}

}  // namespace sylvora
