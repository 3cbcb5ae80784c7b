#pragma once
// The table through which the scene manager (layer 1) and the ambient sound (layer 6) tell the frame
// loop which per-frame calls to make, and the calls themselves. The owners set and clear the flags; the
// shell only reads them.
#include <array>
#include <string>

namespace sylvora {

struct Layer {
  std::string name;  // "Layer A0" .. "Layer A6"
  int active = 0;    // started
  int updating = 0;  // the shell runs the layer's update every FrameUpdate
  int drawing = 0;   // the shell runs the layer's draw every FrameRender
};

struct LayerTable {
  static constexpr int kCapacity = 100;
  static constexpr int kSceneLayer = 1;
  static constexpr int kAmbientSoundLayer = 6;

  std::array<Layer, kCapacity> layers;
  int count = 0;

  // Sets all three flags of one layer: 1 when its owner starts it, 0 when it stops.
  void SetFlags(int layer, int value) { layers[layer].active = layers[layer].updating = layers[layer].drawing = value; }
};

// The owner of a frame layer, the object the frame loop calls for it. FrameUpdate runs the updates of the
// updating layers in layer order, FrameRender the draws of the drawing layers, ReleaseLayers the stops of
// the started ones.
class LayerOwner {
 public:
  virtual ~LayerOwner() = default;
  // 0, or non-zero after reporting a failure (the run then ends).
  virtual int Update() = 0;
  virtual int Draw() = 0;
  // Clears the layer's flags.
  virtual void Stop() = 0;
};

}  // namespace sylvora
