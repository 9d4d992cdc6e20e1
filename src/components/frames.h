// Gameplay timings that count frames rather than seconds assume this frame rate.
#pragma once

namespace components {

inline constexpr float kFramesPerSecond = 60.0f;

}  // namespace components
