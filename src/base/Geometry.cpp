#include "base/Geometry.h"

#include <algorithm>
#include <limits>

namespace tarn {

int32_t Narrow32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                   std::numeric_limits<int32_t>::max()));
}

Point32 CenterInWorkArea(const Rect32& window, const Rect32& reference, const Rect32& workArea) {
  int64_t w = window.Width();
  int64_t h = window.Height();
  int64_t x = reference.left + (reference.Width() - w) / 2;
  int64_t y = reference.top + (reference.Height() - h) / 2;
  if (x < workArea.left) {
    x = workArea.left;
  } else if (x + w > workArea.right) {
    x = workArea.right - w;
  }
  if (y < workArea.top) {
    y = workArea.top;
  } else if (y + h > workArea.bottom) {
    y = workArea.bottom - h;
  }
  return {Narrow32(x), Narrow32(y)};
}

}  // namespace tarn
