// Geometry and small decisions of the launcher dialog, free of any window:
// the anchoring of controls on resize and bringing a saved rectangle back
// onto a screen.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "base/Geometry.h"
#include "res/LauncherDialog.h"

namespace tarn {

// How one control follows the dialog's border when it is resized.
struct LayoutAnchor {
  int32_t Id;
  bool MoveRight;
  bool MoveDown;
  bool GrowWider;
  bool GrowTaller;
};

// Search box, list, path field, the four small buttons, Run and Close.
inline constexpr LayoutAnchor kLauncherLayout[] = {
    {IDC_LAUNCHER_SEARCH, false, false, true, false}, {IDC_LAUNCHER_LIST, false, false, true, true},
    {IDC_LAUNCHER_PATH, false, true, true, false},    {IDC_SETTINGS, false, true, false, false},
    {IDC_REFRESH, false, true, false, false},         {IDC_EXIT, false, true, false, false},
    {IDC_ABOUT, false, true, false, false},           {IDC_LAUNCHER_RUN, true, true, false, false},
    {IDC_LAUNCHER_CLOSE, true, true, false, false},
};

// The control's rectangle after the dialog grew by dx and dy (either may be
// negative).
Rect32 ApplyAnchor(const Rect32& control, const LayoutAnchor& anchor, int32_t dx, int32_t dy);

// Minimum tracking size: two thirds of the dialog's first size.
struct Size32 {
  int32_t cx = 0;
  int32_t cy = 0;
  bool operator==(const Size32&) const = default;
};
Size32 MinimumTrackingSize(const Rect32& initial);
inline constexpr Size32 kFallbackMinimumSize{150, 150};

// Least part of a saved rectangle, in pixels each way, that must lie in a
// work area for it to count as on a screen: enough to grab the caption.
inline constexpr int32_t kMinVisiblePart = 32;

// The rectangle to restore for a saved one, given the work areas of the
// monitors (primary first). A sound rectangle on a screen comes back as it
// is. Otherwise the size is brought within [minimum, work area] and the
// rectangle moved into the nearest work area. No work areas: unchanged.
Rect32 FitSavedRect(const Rect32& saved, const std::vector<Rect32>& workAreas, Size32 minimum);

// Filter delay in milliseconds for the system keyboard-delay setting 0..3;
// no setting (or one out of range) gives the shortest.
int32_t FilterDelayMs(std::optional<int32_t> keyboardDelay);

// The character the search box is given when the dialog opens and when the
// settings are applied: a printable single-byte character (ASCII or
// half-width kana); none for 0 or any other value of the 32-bit field.
std::optional<char> DefaultSearchChar(int32_t defaultSearchMode);

}  // namespace tarn
