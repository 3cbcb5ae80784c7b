#pragma once
// What the bare programs the benchmarks hold ours against do with SDL2 and TurboJPEG alone, none of our
// code: read a picture's bytes from the data file, decode them into 32-bit pixels, make the near-black
// pixels of an overlay transparent, and upload the result as a static texture scaled with filtering.
#include <SDL.h>
#include <turbojpeg.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace bare {

// A decoded picture: ARGB8888 pixels (blue, green, red, alpha in memory), rows width pixels apart.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> argb;
};

// length bytes from offset of the data file; empty on failure.
inline std::vector<unsigned char> ReadBytes(std::FILE* data, long offset, long length) {
  std::vector<unsigned char> bytes(static_cast<size_t>(length));
  if (std::fseek(data, offset, SEEK_SET) != 0 || std::fread(bytes.data(), 1, bytes.size(), data) != bytes.size()) {
    bytes.clear();
  }
  return bytes;
}

// A JPEG decoded into opaque pixels (TurboJPEG sets the alpha byte); false on failure.
inline bool DecodeJpeg(tjhandle decoder, const std::vector<unsigned char>& bytes, Pixels& pixels) {
  int subsampling = 0, colourspace = 0;
  if (tjDecompressHeader3(decoder, bytes.data(), bytes.size(), &pixels.width, &pixels.height, &subsampling,
                          &colourspace) != 0) {
    return false;
  }
  pixels.argb.resize(static_cast<size_t>(pixels.width) * pixels.height);
  return tjDecompress2(decoder, bytes.data(), bytes.size(), reinterpret_cast<unsigned char*>(pixels.argb.data()),
                       pixels.width, pixels.width * 4, pixels.height, TJPF_BGRA, 0) == 0;
}

// A BMP read and converted by SDL into opaque pixels; false on failure.
inline bool DecodeBmp(const std::vector<unsigned char>& bytes, Pixels& pixels) {
  SDL_Surface* read = SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
  SDL_Surface* converted = read ? SDL_ConvertSurfaceFormat(read, SDL_PIXELFORMAT_ARGB8888, 0) : nullptr;
  SDL_FreeSurface(read);
  if (!converted) return false;
  pixels.width = converted->w;
  pixels.height = converted->h;
  pixels.argb.resize(static_cast<size_t>(pixels.width) * pixels.height);
  for (int row = 0; row < pixels.height; ++row) {
    std::memcpy(&pixels.argb[static_cast<size_t>(row) * pixels.width],
                static_cast<const uint8_t*>(converted->pixels) + static_cast<size_t>(row) * converted->pitch,
                static_cast<size_t>(pixels.width) * 4);
  }
  SDL_FreeSurface(converted);
  return true;
}

// A picture of either kind the data file holds, told apart by its first bytes; false on failure.
inline bool Decode(tjhandle decoder, const std::vector<unsigned char>& bytes, Pixels& pixels) {
  if (bytes.size() < 2) return false;
  return bytes[0] == 'B' && bytes[1] == 'M' ? DecodeBmp(bytes, pixels) : DecodeJpeg(decoder, bytes, pixels);
}

// Pixels whose red + green + blue is below threshold become transparent (1: pure black only).
inline void KeyNearBlack(Pixels& pixels, int threshold) {
  for (uint32_t& pixel : pixels.argb) {
    const int sum = static_cast<int>((pixel >> 16 & 0xFF) + (pixel >> 8 & 0xFF) + (pixel & 0xFF));
    if (sum < threshold) pixel &= 0x00FFFFFFu;
  }
}

// The pixels scaled to width x height by SDL's own linear stretch; false on failure.
inline bool ScaleTo(Pixels& pixels, int width, int height) {
  if (width == pixels.width && height == pixels.height) return true;
  Pixels scaled{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
  SDL_Surface* from = SDL_CreateRGBSurfaceWithFormatFrom(pixels.argb.data(), pixels.width, pixels.height, 32,
                                                         pixels.width * 4, SDL_PIXELFORMAT_ARGB8888);
  SDL_Surface* to =
      SDL_CreateRGBSurfaceWithFormatFrom(scaled.argb.data(), width, height, 32, width * 4, SDL_PIXELFORMAT_ARGB8888);
  const bool stretched = from && to && SDL_SoftStretchLinear(from, nullptr, to, nullptr) == 0;
  SDL_FreeSurface(from);
  SDL_FreeSurface(to);
  if (stretched) pixels = std::move(scaled);
  return stretched;
}

// A static texture holding pixels, filtered when scaled, blended by its alpha when keyed and copied as it
// is otherwise, in opaqueFormat then (the output's own, where a copy then converts nothing); null on
// failure.
inline SDL_Texture* Upload(SDL_Renderer* renderer, const Pixels& pixels, bool keyed,
                           Uint32 opaqueFormat = SDL_PIXELFORMAT_ARGB8888) {
  const Uint32 format = keyed ? Uint32{SDL_PIXELFORMAT_ARGB8888} : opaqueFormat;
  SDL_Texture* texture = SDL_CreateTexture(renderer, format, SDL_TEXTUREACCESS_STATIC, pixels.width, pixels.height);
  if (!texture) return nullptr;
  SDL_SetTextureScaleMode(texture, SDL_ScaleModeLinear);
  SDL_SetTextureBlendMode(texture, keyed ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE);
  if (SDL_UpdateTexture(texture, nullptr, pixels.argb.data(), pixels.width * 4) != 0) {
    SDL_DestroyTexture(texture);
    return nullptr;
  }
  return texture;
}

}  // namespace bare
