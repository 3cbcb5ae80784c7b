#include "input/axis_scale.h"

#include <algorithm>
#include <cmath>

namespace sylvora {

int32_t ScaleAxis(int32_t raw, int32_t rawMin, int32_t rawMax, const AxisSetting& setting) {
  const double rawCentre = (static_cast<double>(rawMin) + rawMax) / 2.0;
  const double rawHalf = (static_cast<double>(rawMax) - rawMin) / 2.0;
  const double offset = std::clamp((raw - rawCentre) / rawHalf, -1.0, 1.0);
  const double deadZone = setting.deadZone / 10000.0;
  const double saturation = std::max(setting.saturation / 10000.0, deadZone);
  const double magnitude = std::fabs(offset);
  double travel;
  if (magnitude <= deadZone) {
    travel = 0.0;
  } else if (magnitude >= saturation) {
    travel = 1.0;
  } else {
    travel = (magnitude - deadZone) / (saturation - deadZone);
  }
  const double centre = (static_cast<double>(setting.min) + setting.max) / 2.0;
  const double half = (static_cast<double>(setting.max) - setting.min) / 2.0;
  const double value = centre + std::copysign(travel, offset) * half;
  return static_cast<int32_t>(std::lround(value));
}

}  // namespace sylvora
