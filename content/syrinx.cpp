#include "content/syrinx.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace sylvora {
namespace {

// The region of pressure and tension the frequency table covers. At zero pressure the oscillator sits on
// its threshold, where its frequency is that of the resting labia, √β.
constexpr double kLowPressure = 0, kHighPressure = 0.6;
constexpr double kLowTension = 0.15, kHighTension = 1.2;
constexpr int kPressureSteps = 13, kTensionSteps = 15;
// How the table is measured: step, settling time and measuring time, in the oscillator's own time units.
constexpr double kCalibrationStep = 0.05, kSettleTime = 2500, kMeasureTime = 600;
// The slowest angular frequency a gesture may ask for, so that the time scale γ stays finite.
constexpr double kSlowestOmega = 0.3;

// How strongly turbulence shakes the pressure, how loud it hisses through the tract, and the step of its
// one-pole low-pass at the oversampled rate (a corner near 2 kHz).
constexpr double kPressureNoise = 0.12, kAspiration = 0.35, kTurbulenceCorner = 0.08;
// The decimating low-pass: corner as a fraction of the output rate, and the Q of its two sections.
constexpr double kDecimateCorner = 0.42;
constexpr double kButterworthQ[2] = {0.5411961, 1.3065630};
// The highest resonance centre, as a fraction of the oversampled rate.
constexpr double kHighestCentre = 0.2;

struct State {
  double x, y;
};

// The normal form at γ = 1 (time τ = γ t, y the velocity dx/dτ).
State Slope(const State& s, double a, double b) {
  return {s.y, -a - b * s.x - s.x * s.x * s.x + s.x * s.x - s.y * (s.x * s.x + s.x)};
}

State RungeKutta(const State& s, double a, double b, double h) {
  const State k1 = Slope(s, a, b);
  const State k2 = Slope({s.x + h / 2 * k1.x, s.y + h / 2 * k1.y}, a, b);
  const State k3 = Slope({s.x + h / 2 * k2.x, s.y + h / 2 * k2.y}, a, b);
  const State k4 = Slope({s.x + h * k3.x, s.y + h * k3.y}, a, b);
  return {s.x + h / 6 * (k1.x + 2 * k2.x + 2 * k3.x + k4.x), s.y + h / 6 * (k1.y + 2 * k2.y + 2 * k3.y + k4.y)};
}

// The angular frequency of the settled oscillation, from its upward crossings of its mean.
double MeasureOmega(double a, double b) {
  if (a <= 0) return std::sqrt(b);
  State s{0.5, 0};
  for (double t = 0; t < kSettleTime; t += kCalibrationStep) s = RungeKutta(s, a, b, kCalibrationStep);
  const int count = static_cast<int>(kMeasureTime / kCalibrationStep);
  std::vector<double> xs(count);
  double mean = 0;
  for (double& x : xs) {
    s = RungeKutta(s, a, b, kCalibrationStep);
    x = s.x;
    mean += x / count;
  }
  int first = -1, last = -1, crossings = 0;
  for (int i = 1; i < count; ++i) {
    if (xs[i - 1] < mean && xs[i] >= mean) {
      if (first < 0) first = i;
      last = i;
      ++crossings;
    }
  }
  if (crossings < 3) return std::sqrt(b);
  return 2 * M_PI * (crossings - 1) / ((last - first) * kCalibrationStep);
}

using OmegaTable = std::array<std::array<double, kTensionSteps>, kPressureSteps>;

const OmegaTable& Omegas() {
  static const OmegaTable table = [] {
    OmegaTable t{};
    for (int i = 0; i < kPressureSteps; ++i) {
      for (int j = 0; j < kTensionSteps; ++j) {
        t[i][j] = MeasureOmega(kLowPressure + (kHighPressure - kLowPressure) * i / (kPressureSteps - 1),
                               kLowTension + (kHighTension - kLowTension) * j / (kTensionSteps - 1));
      }
    }
    return t;
  }();
  return table;
}

// A second-order section of the decimating low-pass (bilinear transform), run in place on its state.
double LowPassSection(double in, double corner, double q, double* z) {
  const double k = std::tan(M_PI * corner), norm = 1 / (1 + k / q + k * k);
  const double b0 = k * k * norm, a1 = 2 * (k * k - 1) * norm, a2 = (1 - k / q + k * k) * norm;
  const double out = b0 * in + z[0];
  z[0] = 2 * b0 * in - a1 * out + z[1];
  z[1] = b0 * in - a2 * out;
  return out;
}

}  // namespace

double SyrinxFrequency(double pressure, double tension) {
  const double u =
      std::clamp((pressure - kLowPressure) / (kHighPressure - kLowPressure), 0.0, 1.0) * (kPressureSteps - 1);
  const double v = std::clamp((tension - kLowTension) / (kHighTension - kLowTension), 0.0, 1.0) * (kTensionSteps - 1);
  const int i = std::min(static_cast<int>(u), kPressureSteps - 2), j = std::min(static_cast<int>(v), kTensionSteps - 2);
  const double fu = u - i, fv = v - j;
  const OmegaTable& t = Omegas();
  return (1 - fu) * ((1 - fv) * t[i][j] + fv * t[i][j + 1]) + fu * ((1 - fv) * t[i + 1][j] + fv * t[i + 1][j + 1]);
}

Syrinx::Syrinx(const Tract& tract, int rate, uint64_t seed) : tract_(tract), rate_(rate), rng_(seed) {
  Omegas();  // measured before the first sample, once per process
}

double Syrinx::Band::Run(double in, double hz, double q, double rate) {
  const double g = std::tan(M_PI * std::min(hz, kHighestCentre * rate) / rate), k = 1 / q;
  const double a1 = 1 / (1 + g * (g + k)), a2 = g * a1, a3 = g * a2;
  const double v3 = in - s2;
  const double v1 = a1 * s1 + a2 * v3, v2 = s2 + a2 * s1 + a3 * v3;
  s1 = 2 * v1 - s1;
  s2 = 2 * v2 - s2;
  return k * v1;  // unity gain at the centre
}

void Syrinx::Step(double pressure, double tension, double dtau) {
  const State next = RungeKutta({x_, y_}, pressure, tension, dtau);
  x_ = next.x;
  y_ = next.y;
}

double Syrinx::Decimate(double in) {
  const double corner = kDecimateCorner / kVoiceOversampling;
  return LowPassSection(LowPassSection(in, corner, kButterworthQ[0], &lowPass_[0]), corner, kButterworthQ[1],
                        &lowPass_[2]);
}

double Syrinx::Run(const VoiceGesture& g) {
  const double fine = rate_ * kVoiceOversampling;
  double out = 0;
  for (int sub = 0; sub < kVoiceOversampling; ++sub) {
    turbulence_ += kTurbulenceCorner * (rng_.Gauss() - turbulence_);
    const double pressure = g.pressure + g.breath * kPressureNoise * turbulence_;
    const double omega = std::max(kSlowestOmega, SyrinxFrequency(pressure, g.tension));
    Step(pressure, g.tension, 2 * M_PI * g.hz / omega / fine);
    // The labia's velocity drives the tract, with the hiss of the air forced past them.
    const double source = y_ + g.breath * kAspiration * std::max(0.0, g.pressure) * rng_.Gauss();
    double voiced = 0;
    for (int k = 0; k < kTractResonances; ++k) {
      const Resonance& r = tract_[k];
      if (r.multiple > 0) voiced += r.gain * bands_[k].Run(source, r.multiple * g.hz, r.q, fine);
    }
    out = Decimate(voiced);
  }
  return out;
}

}  // namespace sylvora
