#pragma once
// Builds data.nrx and the one data file that holds every resource's bytes. Used by the nrxpack tool,
// the content generator and tests; the screensaver itself only reads indexes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sylvora {

// One resource to pack: its type, lookup name and bytes.
struct PackItem {
  int32_t type = 0;
  std::string name;
  std::string bytes;
};

// The length-prefixed string encoding of the index (one byte; 0xFF and 16 bits; 0xFF 0xFFFF and 32 bits).
std::string EncodeIndexString(std::string_view text);

// The bytes of an index listing items in order, all held in dataFileName at consecutive offsets.
std::string BuildIndex(const std::vector<PackItem>& items, const std::string& dataFileName);
// The bytes of the data file: every item's bytes, one after the other.
std::string BuildDataFile(const std::vector<PackItem>& items);

// Writes directory/data.nrx and directory/dataFileName; false when either cannot be written.
bool WriteArchive(const std::string& directory, const std::vector<PackItem>& items,
                  const std::string& dataFileName);

}  // namespace sylvora
