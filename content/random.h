#pragma once
// The generator's own random numbers: a fixed algorithm seeded from each resource's name, so every run
// and every thread ordering paints the same bytes.
#include <cstdint>
#include <string_view>

namespace sylvora {

// SplitMix64: small, fast and identical on every platform and library.
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
  // Uniform in [lo, hi).
  double Range(double lo, double hi) { return lo + (hi - lo) * Unit(); }
  // Uniform integer in [lo, hi).
  int Int(int lo, int hi) { return hi <= lo ? lo : lo + static_cast<int>(Next() % static_cast<uint64_t>(hi - lo)); }
  // Roughly normal, mean 0 and deviation 1 (sum of uniforms).
  double Gauss() { return (Unit() + Unit() + Unit() + Unit() - 2.0) * 1.7320508; }

 private:
  uint64_t state_;
};

// A seed made from a name (FNV-1a), so each resource has its own stream.
constexpr uint64_t NameSeed(std::string_view name, uint64_t salt = 0) {
  uint64_t hash = 0xCBF29CE484222325ull ^ salt;
  for (char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
  return hash;
}

}  // namespace sylvora
