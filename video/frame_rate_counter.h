#pragma once
// The frame-rate counter a run shows in the top left corner when asked (-fps, as every xscreensaver hack
// offers it): the frames per second in light digits on a dark plate, drawn into the frame after the scene.
// Its digits are painted once into a surface of their own; no picture of the installation is needed.
#include <array>
#include <cstdint>

namespace sylvora {

class VideoSystem;

class FrameRateCounter {
 public:
  // One digit's cell on the sheet and in the frame, in frame pixels: a 3 x 5 glyph scaled by 2 with a
  // one-pixel plate around it.
  static constexpr int kScale = 2;
  static constexpr int kCellWidth = 3 * kScale + 2;
  static constexpr int kCellHeight = 5 * kScale + 2;
  static constexpr int kMargin = 4;        // from the frame's corner
  static constexpr int kMaxDigits = 4;     // rates above 9999 show 9999
  static constexpr uint8_t kInk = 0xF0;    // grey level of a digit
  static constexpr uint8_t kPlate = 0x18;  // grey level around it (not black: black is transparent)

  // Draws rate into video's frame at the top left corner, making the digit sheet on the first call.
  // 0 drawn; 2 when the sheet could not be made (reported by video) or a digit was not drawn.
  int Draw(VideoSystem& video, int rate);
  // Lets the digit sheet go (before the video object is destroyed) so a later Draw makes it again.
  void Forget() { sheet_ = -1; }

  // The 24-bit bottom-up sheet of the ten digits, 0 to 9 left to right: what Draw uploads.
  static constexpr int kSheetWidth = 10 * kCellWidth;
  static constexpr int kSheetRowBytes = (3 * kSheetWidth + 3) & ~3;
  using Sheet = std::array<uint8_t, kSheetRowBytes * kCellHeight>;
  static const Sheet& DigitSheet();

 private:
  int MakeSheet(VideoSystem& video);
  int sheet_ = -1;  // the sheet's surface slot, -1 before it is made
};

}  // namespace sylvora
