#pragma once
// Little-endian appends for the files we write ourselves: the data.nrx index and the generator's BMP headers.
#include <cstdint>
#include <string>

namespace sylvora {

inline void AppendU16(std::string& out, uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

inline void AppendU32(std::string& out, uint32_t value) {
  AppendU16(out, value & 0xFFFF);
  AppendU16(out, value >> 16);
}

}  // namespace sylvora
