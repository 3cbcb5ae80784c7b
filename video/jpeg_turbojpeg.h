#pragma once
// The JPEG decoder on TurboJPEG, for the program and the real-adapter tests.
#include <memory>

#include "video/jpeg_decoder.h"

namespace sylvora {

// A decoder that reads JPEG bytes from memory with TurboJPEG.
std::unique_ptr<JpegDecoder> CreateTurboJpegDecoder();

}  // namespace sylvora
