#pragma once
// A bird's voice as a physical model: the labia of the syrinx as a nonlinear oscillator in its normal form
//   x' = y,  y' = γ² (−α − βx − x³ + x²) − γ y (x² + x)
// driven by the air-sac pressure α and the syringeal tension β, then a vocal tract whose resonances follow
// the pitch as a bird's beak gape does. Below the pressure threshold the labia rest; above it they
// oscillate, nearly sinusoidal just past the threshold and richer in harmonics further in. Onsets,
// harmonics and rough phonation come out of the oscillator rather than being drawn.
#include <array>
#include <cstdint>

#include "content/random.h"

namespace sylvora {

// One instant of the gestures that drive the voice.
struct VoiceGesture {
  double hz = 0;        // the pitch the tension aims at
  double pressure = 0;  // α: below 0 the labia rest, up to about 0.5 they oscillate
  double tension = 0;   // β, 0.15 .. 1.2: low gives a reedy tone rich in harmonics, high a near-pure whistle
  double breath = 0;    // turbulence of the air flow: noise in the pressure and through the tract, 0 .. 1
};

// One resonance of the tract, centred on a multiple of the pitch.
struct Resonance {
  float multiple = 0;  // centre as a multiple of the pitch; 0 leaves the resonance out
  float q = 1;
  float gain = 0;
};

constexpr int kTractResonances = 3;
using Tract = std::array<Resonance, kTractResonances>;

// A voice sounding at `rate` Hz; the oscillator itself runs kVoiceOversampling times finer.
class Syrinx {
 public:
  static constexpr int kVoiceOversampling = 4;

  Syrinx(const Tract& tract, int rate, uint64_t seed);
  // The next output sample for the gesture; roughly -1..1 at full pressure.
  double Run(const VoiceGesture& gesture);

 private:
  // One state-variable band-pass stage (trapezoidal form: stable while its centre moves every sample).
  struct Band {
    double s1 = 0, s2 = 0;
    double Run(double in, double hz, double q, double rate);
  };
  // One step of the oscillator by dτ with the fixed pressure and tension.
  void Step(double pressure, double tension, double dtau);
  double Decimate(double in);

  Tract tract_;
  double rate_;
  Rng rng_;
  double x_ = 0, y_ = 0;
  double turbulence_ = 0;  // low-passed noise in the pressure
  std::array<Band, kTractResonances> bands_{};
  std::array<double, 4> lowPass_{};  // the decimating low-pass's two sections
};

// The oscillator's angular frequency at γ = 1 for a pressure and tension in its oscillating region
// (clamped into it): measured once by running the oscillator, then interpolated.
double SyrinxFrequency(double pressure, double tension);

}  // namespace sylvora
