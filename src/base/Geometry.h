// Rectangles and points in screen pixels, and centring one window over
// another inside a work area; plain values, no window.
#pragma once

#include <cstdint>

namespace tarn {

struct Rect32 {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  int64_t Width() const { return int64_t{right} - left; }
  int64_t Height() const { return int64_t{bottom} - top; }
  bool operator==(const Rect32&) const = default;
};

struct Point32 {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const Point32&) const = default;
};

// v held to the 32-bit range.
int32_t Narrow32(int64_t v);

// Top-left corner that centres window over reference and keeps it inside
// the work area where it can.
Point32 CenterInWorkArea(const Rect32& window, const Rect32& reference, const Rect32& workArea);

}  // namespace tarn
