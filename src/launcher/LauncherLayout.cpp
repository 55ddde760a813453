#include "launcher/LauncherLayout.h"

#include <algorithm>

namespace tarn {

namespace {

// Length of the overlap of [a0, a1) and [b0, b1); 0 when they do not meet.
int64_t Overlap(int64_t a0, int64_t a1, int64_t b0, int64_t b1) {
  return std::max<int64_t>(0, std::min(a1, b1) - std::max(a0, b0));
}

// Gap between [a0, a1) and [b0, b1); 0 when they meet.
int64_t Gap(int64_t a0, int64_t a1, int64_t b0, int64_t b1) {
  if (a1 <= b0) return b0 - a1;
  if (b1 <= a0) return a0 - b1;
  return 0;
}

struct Box {
  int64_t left, top, right, bottom;
};

bool ShowsEnoughOf(const Box& r, const Rect32& area) {
  int64_t w = r.right - r.left;
  int64_t h = r.bottom - r.top;
  return Overlap(r.left, r.right, area.left, area.right) >= std::min<int64_t>(kMinVisiblePart, w) &&
         Overlap(r.top, r.bottom, area.top, area.bottom) >= std::min<int64_t>(kMinVisiblePart, h) &&
         w > 0 && h > 0;
}

// The area the rectangle overlaps most, or else the one it is closest to.
const Rect32& NearestArea(const Box& r, const std::vector<Rect32>& areas) {
  const Rect32* best = &areas.front();
  int64_t bestOverlap = -1;
  double bestGap = 0;
  for (const Rect32& a : areas) {
    int64_t ov = Overlap(r.left, r.right, a.left, a.right) * Overlap(r.top, r.bottom, a.top, a.bottom);
    double gx = static_cast<double>(Gap(r.left, r.right, a.left, a.right));
    double gy = static_cast<double>(Gap(r.top, r.bottom, a.top, a.bottom));
    double gap = gx * gx + gy * gy;
    if (ov > bestOverlap || (ov == 0 && bestOverlap == 0 && gap < bestGap)) {
      best = &a;
      bestOverlap = ov;
      bestGap = gap;
    }
  }
  return *best;
}

int64_t FitInto(int64_t pos, int64_t size, int64_t lo, int64_t hi) {
  if (pos + size > hi) pos = hi - size;
  if (pos < lo) pos = lo;
  return pos;
}

}  // namespace

Rect32 ApplyAnchor(const Rect32& control, const LayoutAnchor& anchor, int32_t dx, int32_t dy) {
  Rect32 r = control;
  if (anchor.MoveRight) {
    r.left += dx;
    r.right += dx;
  }
  if (anchor.MoveDown) {
    r.top += dy;
    r.bottom += dy;
  }
  if (anchor.GrowWider) r.right += dx;
  if (anchor.GrowTaller) r.bottom += dy;
  return r;
}

Size32 MinimumTrackingSize(const Rect32& initial) {
  return {Narrow32(initial.Width() * 2 / 3), Narrow32(initial.Height() * 2 / 3)};
}

Rect32 FitSavedRect(const Rect32& saved, const std::vector<Rect32>& workAreas, Size32 minimum) {
  if (workAreas.empty()) return saved;
  Box all{workAreas.front().left, workAreas.front().top, workAreas.front().right,
          workAreas.front().bottom};
  for (const Rect32& a : workAreas) {
    all = {std::min<int64_t>(all.left, a.left), std::min<int64_t>(all.top, a.top),
           std::max<int64_t>(all.right, a.right), std::max<int64_t>(all.bottom, a.bottom)};
  }
  int64_t w = saved.Width();
  int64_t h = saved.Height();
  Box r{saved.left, saved.top, saved.right, saved.bottom};
  bool sound = w >= minimum.cx && h >= minimum.cy && w <= all.right - all.left &&
               h <= all.bottom - all.top;
  if (sound && std::any_of(workAreas.begin(), workAreas.end(),
                           [&](const Rect32& a) { return ShowsEnoughOf(r, a); })) {
    return saved;
  }
  // A hand-edited rectangle may be turned inside out: keep its top-left
  // corner and give it a size the user can work with.
  w = std::clamp<int64_t>(w, minimum.cx, std::max<int64_t>(minimum.cx, all.right - all.left));
  h = std::clamp<int64_t>(h, minimum.cy, std::max<int64_t>(minimum.cy, all.bottom - all.top));
  r = {saved.left, saved.top, int64_t{saved.left} + w, int64_t{saved.top} + h};
  const Rect32& area = NearestArea(r, workAreas);
  w = std::max<int64_t>(minimum.cx, std::min(w, area.Width()));
  h = std::max<int64_t>(minimum.cy, std::min(h, area.Height()));
  int64_t x = FitInto(saved.left, w, area.left, area.right);
  int64_t y = FitInto(saved.top, h, area.top, area.bottom);
  return {Narrow32(x), Narrow32(y), Narrow32(x + w), Narrow32(y + h)};
}

int32_t FilterDelayMs(std::optional<int32_t> keyboardDelay) {
  if (!keyboardDelay || *keyboardDelay < 0 || *keyboardDelay > 3) return 300;
  return 300 + 250 * *keyboardDelay;
}

std::optional<char> DefaultSearchChar(int32_t defaultSearchMode) {
  bool printable = (defaultSearchMode >= 0x20 && defaultSearchMode <= 0x7E) ||
                   (defaultSearchMode >= 0xA1 && defaultSearchMode <= 0xDF);
  if (!printable) return std::nullopt;
  return static_cast<char>(defaultSearchMode);
}

}  // namespace tarn
