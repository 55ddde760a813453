#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "app/AppRules.h"
#include "base/ModelessRegistry.h"
#include "launcher/LauncherLayout.h"
#include "settings/EnvDialogRules.h"

TEST(AppRules, HotKeyMaskTextUseAndExitTexts) {
  // Only Ctrl, Alt or Win make a key usable: Shift alone or no key at all do not.
  const struct { HotKeySetting key; unsigned mask; bool usable; const char* text; } cases[] = {
      {{1, 1, 0, 0, 87}, 3u, true, "Ctrl+Alt+W"}, {{0, 0, 0, 1, 87}, 8u, true, "Win+W"},
      {{0, 0, 1, 0, 87}, 4u, false, "Shift+W"}, {{-1, 0, 0, 0, 87}, 0u, false, "W"},
      {{1, 1, 1, 1, 0x7B}, 15u, true, "Win+Ctrl+Alt+Shift+F12"}, {{2, 1, 0, 0, '5'}, 2u, true, "Ctrl+5"},  // a 2 is not 1
      {{0, 1, 0, 0, 0}, 2u, false, "Ctrl+Space"}, {{1, 0, 0, 0, 0x87}, 1u, true, "Alt+F24"},
      {{1, 0, 0, 0, 0x88}, 1u, true, "Alt+Space"}};
  for (const auto& c : cases) {
    EXPECT_TRUE(HotKeyModifiers(c.key) == c.mask && tarn::IsUsableHotKey(c.key) == c.usable) << c.text;
    EXPECT_EQ(HotKeyText(c.key, "Space"), c.text);
  }
  EXPECT_EQ(ExitQuestionText("Tarn Launcher"), "Tarn Launcher を終了しますか？");
  EXPECT_EQ(ExitQuestionCaption("Tarn Launcher"), "Tarn Launcher 終了確認");
}

TEST(AppRules, RefreshPeriodStaysInBounds) {
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min(), kMax = std::numeric_limits<int32_t>::max();
  const std::pair<int32_t, uint32_t> cases[] = {{10, 600000u}, {360, 21600000u}, {9999, 599940000u}, {0, 600000u},
      {-5, 600000u}, {kMin, 600000u}, {1, 600000u}, {71583, 599940000u}, {kMax, 599940000u}};  // x 60000 overflows
  for (const auto& [minutes, ms] : cases) EXPECT_EQ(RefreshPeriodMs(minutes), ms) << minutes;
}

TEST(AppRules, ModelessRegistryKeepsOrderAndItsLimit) {
  constexpr std::size_t kMax = CModelessRegistry::kMax;
  static char w[kMax + 1];
  CModelessRegistry reg;
  EXPECT_FALSE(reg.Add(nullptr));
  EXPECT_FALSE(reg.Remove(&w[0]));
  for (std::size_t i = 0; i < kMax; ++i) EXPECT_TRUE(reg.Add(&w[i]));
  EXPECT_FALSE(reg.Add(&w[kMax]));
  EXPECT_TRUE(reg.Remove(&w[1]));
  EXPECT_FALSE(reg.Add(&w[0]));  // twice
  EXPECT_EQ(reg.At(1), &w[2]);
  EXPECT_TRUE(reg.Add(&w[kMax]));
  EXPECT_EQ(reg.At(kMax - 1), &w[kMax]);
  for (char& c : w) reg.Remove(&c);
  EXPECT_EQ(reg.Count(), 0u);
}
