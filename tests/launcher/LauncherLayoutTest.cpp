#include "launcher/LauncherLayout.h"

#include <gtest/gtest.h>

#include <climits>

namespace tarn {
namespace {

TEST(LauncherLayout, ResizingMovesAndStretchesByTheTableDownToTwoThirds) {
  struct Case { int32_t id; Rect32 expected; };  // for a control at (10, 20, 110, 70) after dx 40, dy 25
  const Case cases[] = {
      {1008, {10, 20, 150, 70}},  {1002, {10, 20, 150, 95}}, {1023, {10, 45, 150, 95}},
      {4005, {10, 45, 110, 95}},  {4006, {10, 45, 110, 95}}, {4004, {10, 45, 110, 95}},
      {4003, {10, 45, 110, 95}},  {1004, {50, 45, 150, 95}}, {2, {50, 45, 150, 95}}};
  ASSERT_EQ(std::size(kLauncherLayout), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    ASSERT_EQ(kLauncherLayout[i].Id, cases[i].id);
    EXPECT_EQ(ApplyAnchor({10, 20, 110, 70}, kLauncherLayout[i], 40, 25), cases[i].expected) << cases[i].id;
  }
  // Shrinking is the same arithmetic backwards.
  EXPECT_EQ(ApplyAnchor({10, 20, 110, 70}, kLauncherLayout[1], -30, -5), (Rect32{10, 20, 80, 65}));
  // The dialog shrinks to two thirds of its size at most.
  EXPECT_EQ(MinimumTrackingSize({100, 100, 400, 500}), (Size32{200, 266}));
  EXPECT_EQ(MinimumTrackingSize({0, 0, 2, 1}), (Size32{1, 0}));
  EXPECT_EQ(MinimumTrackingSize({0, 0, 0, 0}), (Size32{0, 0}));
}

TEST(LauncherLayout, CentringStaysInsideTheWorkArea) {
  const Rect32 work{0, 0, 1280, 984};
  const struct Case { Rect32 window, reference; Point32 expected; } cases[] = {
      {{0, 0, 300, 400}, {0, 0, 1280, 1024}, {490, 312}},        // over the desktop
      {{0, 0, 300, 400}, {0, 0, 1280, 984}, {490, 292}},         // over the work area
      {{0, 0, 300, 400}, {-200, -200, 0, 0}, {0, 0}},            // reference off the left top
      {{0, 0, 300, 400}, {1200, 900, 1400, 1100}, {980, 584}},   // off the right bottom
      {{0, 0, 301, 401}, {0, 0, 1280, 1024}, {489, 311}},        // odd sizes
      {{0, 0, 1500, 400}, {0, 0, 1280, 1024}, {0, 312}}};        // wider than the area: left edge wins
  for (const Case& c : cases) EXPECT_EQ(CenterInWorkArea(c.window, c.reference, work), c.expected);
}

TEST(LauncherLayout, SavedRectangleIsBroughtOntoAScreen) {
  const std::vector<Rect32> twoScreens{{0, 0, 1920, 1040}, {1920, 0, 3200, 984}};
  const std::vector<Rect32> oneScreen{{0, 0, 1280, 984}};
  const Size32 minimum{250, 330};
  const struct Case { const char* what; const std::vector<Rect32>* areas; Rect32 saved, expected; } cases[] = {
      {"on the primary", &twoScreens, {100, 100, 480, 600}, {100, 100, 480, 600}},
      {"partly off, caption reachable", &oneScreen, {1200, 900, 1580, 1400}, {1200, 900, 1580, 1400}},
      {"second monitor removed", &oneScreen, {2000, 50, 2400, 550}, {880, 50, 1280, 550}},
      {"left of every screen", &oneScreen, {-900, 200, -500, 700}, {0, 200, 400, 700}},
      {"below the screen", &twoScreens, {300, 2000, 700, 2500}, {300, 540, 700, 1040}},
      {"only a sliver shows", &oneScreen, {1270, 100, 1670, 600}, {880, 100, 1280, 600}},
      {"nearest of two", &twoScreens, {3500, 100, 3900, 600}, {2800, 100, 3200, 600}},
      {"inside out", &oneScreen, {500, 500, 100, 100}, {500, 500, 750, 830}},
      {"too small", &oneScreen, {10, 10, 60, 60}, {10, 10, 260, 340}},
      {"absurd numbers", &oneScreen, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {0, 0, 1280, 984}},
      {"far away", &oneScreen, {INT_MAX - 10, 5, INT_MAX, 15}, {1030, 5, 1280, 335}}};
  for (const Case& c : cases) EXPECT_EQ(FitSavedRect(c.saved, *c.areas, minimum), c.expected) << c.what;
  EXPECT_EQ(FitSavedRect({5000, 5000, 5400, 5500}, {}, minimum), (Rect32{5000, 5000, 5400, 5500}));
}

TEST(LauncherLayout, SmallDecisions) {
  // ASCII and half-width kana count; a lead byte alone is no character, nor
  // is anything a cut to one byte would wrap.
  using Codes = std::initializer_list<int32_t>;
  for (int32_t c : Codes{' ', '^', '*', '~', 0xA1, 0xB1, 0xDF})
    EXPECT_EQ(DefaultSearchChar(c), static_cast<char>(c)) << c;
  for (int32_t c : Codes{0, -94, 0x09, 0x7F, 0x81, 0xA0, 0xE0, 0x15E, 256 + '*', INT32_MIN, INT32_MAX})
    EXPECT_EQ(DefaultSearchChar(c), std::nullopt) << c;
  // The filter waits the keyboard delay: 0 to 3 in steps of 250 ms from 300; 300 where unread or out of range.
  const std::pair<std::optional<int32_t>, int32_t> delays[] = {{0, 300}, {1, 550}, {3, 1050}, {std::nullopt, 300},
                                                               {4, 300}, {-1, 300}, {INT32_MAX, 300}};
  for (const auto& [delay, ms] : delays) EXPECT_EQ(FilterDelayMs(delay), ms) << delay.value_or(-99);
}

}  // namespace
}  // namespace tarn
