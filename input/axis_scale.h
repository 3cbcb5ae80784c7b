#pragma once
// How a joystick axis reading becomes the value the input logic sees: scaled to the range set on the
// axis, with the dead zone around the centre reading as the centre and the travel beyond the
// saturation point reading as the end, as the original device layer did.
#include <cstdint>

namespace sylvora {

struct AxisSetting {
  int32_t min = -5000;
  int32_t max = 5000;
  int32_t deadZone = 0;        // ten-thousandths of the travel from the centre
  int32_t saturation = 10000;  // ten-thousandths of the travel from the centre
};

// Maps raw, a reading between rawMin and rawMax, to setting's range.
int32_t ScaleAxis(int32_t raw, int32_t rawMin, int32_t rawMax, const AxisSetting& setting);

}  // namespace sylvora
