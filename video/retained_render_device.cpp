#include "video/retained_render_device.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <string>
#include <utility>

namespace sylvora {

namespace {

// How far ahead in the frame before a copy's twin is looked for, when copies came or went between them.
constexpr int kResyncReach = 8;

// One clear (texture 0) or copy of a frame, with the clip it was made under, and the output pixels it
// changed (found when the frame is shown, and kept: the texture's pixels may be replaced after).
struct FrameDraw {
  int texture = 0;
  SurfaceRect from;
  OutputRect to;
  bool clipped = false;
  SurfaceRect clip;
  SurfaceRect reach;
};

bool SameRect(const SurfaceRect& one, const SurfaceRect& other) {
  return one.left == other.left && one.top == other.top && one.right == other.right && one.bottom == other.bottom;
}

bool Same(const FrameDraw& one, const FrameDraw& other) {
  return one.texture == other.texture && SameRect(one.from, other.from) && one.to.left == other.to.left &&
         one.to.top == other.to.top && one.to.right == other.to.right && one.to.bottom == other.to.bottom &&
         one.clipped == other.clipped && (!one.clipped || SameRect(one.clip, other.clip));
}

bool Empty(const SurfaceRect& rect) { return rect.left >= rect.right || rect.top >= rect.bottom; }

SurfaceRect Intersection(const SurfaceRect& one, const SurfaceRect& other) {
  return {std::max(one.left, other.left), std::max(one.top, other.top), std::min(one.right, other.right),
          std::min(one.bottom, other.bottom)};
}

SurfaceRect Union(const SurfaceRect& one, const SurfaceRect& other) {
  return {std::min(one.left, other.left), std::min(one.top, other.top), std::max(one.right, other.right),
          std::max(one.bottom, other.bottom)};
}

// Whether the two overlap or share an edge: drawn as one, they cost no more.
bool Touch(const SurfaceRect& one, const SurfaceRect& other) {
  return one.left <= other.right && other.left <= one.right && one.top <= other.bottom && other.top <= one.bottom;
}

long long Area(const SurfaceRect& rect) {
  return static_cast<long long>(rect.right - rect.left) * (rect.bottom - rect.top);
}

// A copy on whole output pixels with as many texels as pixels: cut anywhere, its pixels stay the same.
bool OneToOne(const FrameDraw& draw) {
  const OutputRect& to = draw.to;
  return draw.texture == 0 || (to.left == std::floor(to.left) && to.top == std::floor(to.top) &&
                               to.right == std::floor(to.right) && to.bottom == std::floor(to.bottom) &&
                               to.right - to.left == static_cast<float>(draw.from.right - draw.from.left) &&
                               to.bottom - to.top == static_cast<float>(draw.from.bottom - draw.from.top));
}

class RetainedRenderDevice final : public RenderDevice {
 public:
  explicit RetainedRenderDevice(std::unique_ptr<RenderDevice> inner) : inner_(std::move(inner)) {}

  std::string TakeFailureReason() override { return inner_->TakeFailureReason(); }
  std::string Name() override { return inner_->Name(); }
  bool Open(NativeWindow* window) override {
    const bool opened = inner_->Open(window);
    retaining_ = opened && inner_->KeepsOutput();
    Forget();
    return opened;
  }
  void Close() override {
    inner_->Close();
    Forget();
  }
  bool OutputSize(int& width, int& height) override { return inner_->OutputSize(width, height); }
  int LargestTextureSide() override { return inner_->LargestTextureSide(); }
  bool ScalesOnProcessor() override { return inner_->ScalesOnProcessor(); }
  int CreateTexture(int width, int height, bool transparent) override {
    const int texture = inner_->CreateTexture(width, height, transparent);
    if (texture != 0) Track(texture, {0, 0, width, height}, transparent);
    return texture;
  }
  bool UploadTexture(int texture, const uint32_t* pixels, int pitch) override {
    Replaced(texture);
    if (TrackedTexture* tracked = Tracked(texture); tracked && tracked->transparent) {
      tracked->content = VisibleBounds(pixels, tracked->size, pitch);
    }
    return inner_->UploadTexture(texture, pixels, pitch);
  }
  void DestroyTexture(int texture) override {
    Replaced(texture);
    if (TrackedTexture* tracked = Tracked(texture)) *tracked = tracked_[--trackedCount_];
    inner_->DestroyTexture(texture);
  }

  bool Copy(int texture, const SurfaceRect& from, const OutputRect& to) override {
    if (!Noting()) return inner_->Copy(texture, from, to);
    return Note({texture, from, to, clipped_, clip_, {}});
  }
  bool SetClip(const SurfaceRect* clip) override {
    clipped_ = clip != nullptr;
    if (clip) clip_ = *clip;
    return Noting() || inner_->SetClip(clip);
  }
  bool Clear() override {
    if (!Noting()) return inner_->Clear();
    return Note({0, {}, {}, clipped_, clip_, {}});
  }

  bool Present() override {
    if (!retaining_) return inner_->Present();
    const bool shown = overflowed_ ? inner_->Present() : Show();
    // This frame is the one the next is held against; one drawn straight through is held against none.
    std::copy_n(current_.begin(), currentCount_, previous_.begin());
    previousCount_ = currentCount_;
    whole_ = !shown || overflowed_;
    currentCount_ = replacedCount_ = 0;
    overflowed_ = false;
    return shown;
  }

  bool KeepsOutput() override { return inner_->KeepsOutput(); }
  bool TakeOutputLost() override { return inner_->TakeOutputLost(); }
  bool FillBlack(const SurfaceRect& area) override { return inner_->FillBlack(area); }
  bool PresentAreas(const SurfaceRect* areas, int count) override { return inner_->PresentAreas(areas, count); }

  RenderReset TakeReset() override {
    const RenderReset seen = inner_->TakeReset();
    if (seen != RenderReset::None) whole_ = true;
    return seen;
  }

 private:
  // Whether this frame's draws are being noted rather than made.
  bool Noting() const { return retaining_ && !overflowed_; }

  // Notes draw; a frame with more draws than the table holds has those noted made at once, and the rest
  // go straight through.
  bool Note(const FrameDraw& draw) {
    if (currentCount_ < kMaxFrameDraws) {
      current_[currentCount_++] = draw;
      return true;
    }
    overflowed_ = true;
    const bool drawn = DrawWhole();
    return drawn && (draw.texture == 0 ? inner_->Clear() : inner_->Copy(draw.texture, draw.from, draw.to));
  }

  void Replaced(int texture) {
    if (replacedCount_ == kMaxReplacedTextures) {
      whole_ = true;
      return;
    }
    replaced_[replacedCount_++] = texture;
  }
  bool WasReplaced(int texture) const {
    return std::find(replaced_.begin(), replaced_.begin() + replacedCount_, texture) !=
           replaced_.begin() + replacedCount_;
  }

  // What the device knows of a texture: its size, and the part of it that is not wholly transparent.
  struct TrackedTexture {
    int texture = 0;
    SurfaceRect size;
    bool transparent = false;
    SurfaceRect content;
  };

  void Track(int texture, const SurfaceRect& size, bool transparent) {
    if (trackedCount_ < kMaxTrackedTextures) tracked_[trackedCount_++] = {texture, size, transparent, size};
  }
  TrackedTexture* Tracked(int texture) {
    for (int index = 0; index < trackedCount_; ++index) {
      if (tracked_[index].texture == texture) return &tracked_[index];
    }
    return nullptr;
  }

  // The smallest rectangle holding every pixel whose alpha is not 0; empty when there is none.
  static SurfaceRect VisibleBounds(const uint32_t* pixels, const SurfaceRect& size, int pitch) {
    SurfaceRect bounds{size.right, size.bottom, 0, 0};
    const auto seen = [](uint32_t pixel) { return (pixel >> 24) != 0; };
    for (int y = 0; y < size.bottom; ++y) {
      const uint32_t* row = pixels + static_cast<size_t>(y) * pitch;
      const uint32_t* first = std::find_if(row, row + size.right, seen);
      if (first == row + size.right) continue;
      const auto last =
          std::find_if(std::make_reverse_iterator(row + size.right), std::make_reverse_iterator(first), seen);
      bounds = Union(bounds, {static_cast<int>(first - row), y, static_cast<int>(last.base() - row), y + 1});
    }
    return bounds;
  }

  // A renderer opened or closed: no texture of the old one lives on, nor anything it showed.
  void Forget() {
    previousCount_ = currentCount_ = replacedCount_ = trackedCount_ = 0;
    whole_ = true;
    overflowed_ = clipped_ = false;
  }

  // Draws the noted frame: the changed areas where it can be held against the one before, else whole.
  bool Show() {
    int width = 0;
    int height = 0;
    if (!inner_->OutputSize(width, height)) return false;
    const bool resized = width != outputWidth_ || height != outputHeight_;
    outputWidth_ = width;
    outputHeight_ = height;
    const bool lost = inner_->TakeOutputLost();
    for (int index = 0; index < currentCount_; ++index) current_[index].reach = Reach(current_[index]);
    const bool scaled = std::any_of(current_.begin(), current_.begin() + currentCount_,
                                    [](const FrameDraw& draw) { return !OneToOne(draw); });
    if (whole_ || resized || lost || scaled) return DrawWhole() && inner_->Present();
    FindChanges();
    for (int index = 0; index < changedCount_; ++index) {
      if (!DrawArea(changed_[index])) return false;
    }
    return inner_->PresentAreas(changed_.data(), changedCount_);
  }

  bool DrawWhole() {
    for (int index = 0; index < currentCount_; ++index) {
      const FrameDraw& draw = current_[index];
      if (!inner_->SetClip(draw.clipped ? &draw.clip : nullptr)) return false;
      if (!(draw.texture == 0 ? inner_->Clear() : inner_->Copy(draw.texture, draw.from, draw.to))) return false;
    }
    return inner_->SetClip(clipped_ ? &clip_ : nullptr);
  }

  // Draws every noted draw that reaches area again, cut to it.
  bool DrawArea(const SurfaceRect& area) {
    for (int index = 0; index < currentCount_; ++index) {
      const FrameDraw& draw = current_[index];
      const SurfaceRect cut = Intersection(area, draw.reach);
      if (Empty(cut)) continue;
      if (!inner_->SetClip(&cut)) return false;
      if (!(draw.texture == 0 ? inner_->FillBlack(cut) : inner_->Copy(draw.texture, draw.from, draw.to))) return false;
    }
    return true;
  }

  // The output pixels a draw may change: a clear's whole output or clip; a copy's pixels within its clip,
  // where its texture is not wholly transparent (a copy is one to one where this is asked).
  SurfaceRect Reach(const FrameDraw& draw) {
    SurfaceRect reach{0, 0, outputWidth_, outputHeight_};
    if (draw.clipped) reach = Intersection(reach, draw.clip);
    if (draw.texture == 0) return reach;
    const SurfaceRect pixels{static_cast<int>(std::floor(draw.to.left)), static_cast<int>(std::floor(draw.to.top)),
                             static_cast<int>(std::ceil(draw.to.right)), static_cast<int>(std::ceil(draw.to.bottom))};
    reach = Intersection(reach, pixels);
    const TrackedTexture* tracked = Tracked(draw.texture);
    if (!tracked) return reach;
    const int right = pixels.left - draw.from.left;  // from texture to output columns
    const int down = pixels.top - draw.from.top;
    const SurfaceRect& content = tracked->content;
    return Intersection(reach,
                        {content.left + right, content.top + down, content.right + right, content.bottom + down});
  }

  // Holds the frame against the one before, in order: what has no twin there, and what the frame before
  // had that this one passed over, changed.
  void FindChanges() {
    changedCount_ = 0;
    int next = 0;  // the first draw of the frame before not yet matched or passed over
    for (int index = 0; index < currentCount_; ++index) {
      const FrameDraw& draw = current_[index];
      const int twin = FindTwin(draw, next);
      if (twin < 0) {
        Changed(draw.reach);
        continue;
      }
      for (; next < twin; ++next) Changed(previous_[next].reach);
      next = twin + 1;
    }
    for (; next < previousCount_; ++next) Changed(previous_[next].reach);
  }

  // The draw of the frame before, from first on and not far past it, that this one repeats; -1 for none.
  int FindTwin(const FrameDraw& draw, int first) const {
    if (draw.texture != 0 && WasReplaced(draw.texture)) return -1;
    const int last = std::min(previousCount_, first + kResyncReach);
    for (int index = first; index < last; ++index) {
      if (Same(previous_[index], draw)) return index;
    }
    return -1;
  }

  // Adds area to the changed ones, merged with those it touches; past the table's room, into the one it
  // grows least.
  void Changed(SurfaceRect area) {
    if (Empty(area)) return;
    for (int index = 0; index < changedCount_;) {
      if (!Touch(changed_[index], area)) {
        ++index;
        continue;
      }
      area = Union(area, changed_[index]);
      changed_[index] = changed_[--changedCount_];
      index = 0;
    }
    if (changedCount_ < kMaxChangedAreas) {
      changed_[changedCount_++] = area;
      return;
    }
    int nearest = 0;
    for (int index = 1; index < changedCount_; ++index) {
      if (Area(Union(changed_[index], area)) - Area(changed_[index]) <
          Area(Union(changed_[nearest], area)) - Area(changed_[nearest])) {
        nearest = index;
      }
    }
    changed_[nearest] = Union(changed_[nearest], area);
  }

  std::unique_ptr<RenderDevice> inner_;
  bool retaining_ = false;   // the renderer keeps its output: frames are noted and only changes drawn
  bool whole_ = true;        // the next frame is drawn whole: nothing on the output to keep
  bool overflowed_ = false;  // this frame outgrew the table and goes straight through
  bool clipped_ = false;     // the clip the layer set, which each noted draw takes
  SurfaceRect clip_;
  int outputWidth_ = 0;
  int outputHeight_ = 0;
  std::array<FrameDraw, kMaxFrameDraws> current_{};
  std::array<FrameDraw, kMaxFrameDraws> previous_{};
  int currentCount_ = 0;
  int previousCount_ = 0;
  std::array<int, kMaxReplacedTextures> replaced_{};  // textures uploaded or destroyed since the last present
  int replacedCount_ = 0;
  std::array<SurfaceRect, kMaxChangedAreas> changed_{};
  int changedCount_ = 0;
  std::array<TrackedTexture, kMaxTrackedTextures> tracked_{};  // a texture past the table counts as all seen
  int trackedCount_ = 0;
};

}  // namespace

std::unique_ptr<RenderDevice> CreateRetainedRenderDevice(std::unique_ptr<RenderDevice> inner) {
  return std::make_unique<RetainedRenderDevice>(std::move(inner));
}

}  // namespace sylvora
