#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "app/AppRules.h"
#include "base/ModelessRegistry.h"

TEST(AppRules, HotKeyMask) {
  struct Case {
    HotKeySetting key;
    unsigned mask;
  };
  const Case cases[] = {
      {{1, 1, 0, 0, 87}, 3u},  // Ctrl+Alt+W
      {{0, 0, 0, 1, 87}, 8u},  // Win+W
      {{2, 1, 0, 0, 87}, 2u},  // a 2 is not 1
      {{1, 1, 1, 1, 87}, 15u},
      {{0, 0, 1, 0, 87}, 4u},
      {{-1, 0, 0, 0, 87}, 0u},
  };
  for (const auto& c : cases) EXPECT_EQ(HotKeyModifiers(c.key), c.mask);
}

TEST(AppRules, RefreshPeriodStaysInBounds) {
  struct Case {
    int32_t minutes;
    uint32_t ms;
  };
  const Case cases[] = {
      {10, 600000u},
      {360, 21600000u},
      {9999, 599940000u},
      {0, 600000u},                                      // would fire constantly
      {-5, 600000u},
      {std::numeric_limits<int32_t>::min(), 600000u},
      {1, 600000u},
      {71583, 599940000u},                               // x 60000 overflows 32 bits
      {std::numeric_limits<int32_t>::max(), 599940000u},
  };
  for (const auto& c : cases) EXPECT_EQ(RefreshPeriodMs(c.minutes), c.ms) << c.minutes;
}

TEST(AppRules, ExitTexts) {
  EXPECT_EQ(ExitQuestionText("Tarn Launcher"), "Tarn Launcher \x82\xF0\x8F\x49\x97\xB9\x82\xB5\x82\xDC\x82\xB7\x82\xA9\x81\x48");
  EXPECT_EQ(ExitQuestionCaption("Tarn Launcher"), "Tarn Launcher \x8F\x49\x97\xB9\x8A\x6D\x94\x46");
}

TEST(AppRules, ModelessRegistry) {
  CModelessRegistry reg;
  int a, b, c;
  EXPECT_FALSE(reg.Remove(&a));
  EXPECT_TRUE(reg.Add(&a));
  EXPECT_TRUE(reg.Add(&b));
  EXPECT_FALSE(reg.Add(&a));  // twice
  EXPECT_FALSE(reg.Add(nullptr));
  EXPECT_TRUE(reg.Add(&c));
  EXPECT_TRUE(reg.Remove(&b));
  ASSERT_EQ(reg.Count(), 2u);
  EXPECT_EQ(reg.At(0), &a);
  EXPECT_EQ(reg.At(1), &c);
  EXPECT_TRUE(reg.Remove(&a));
  EXPECT_TRUE(reg.Remove(&c));
  EXPECT_EQ(reg.Count(), 0u);

  static char slots[CModelessRegistry::kMax + 1];
  for (std::size_t i = 0; i < CModelessRegistry::kMax; ++i) EXPECT_TRUE(reg.Add(&slots[i]));
  EXPECT_FALSE(reg.Add(&slots[CModelessRegistry::kMax]));
  EXPECT_TRUE(reg.Remove(&slots[0]));
  EXPECT_EQ(reg.At(0), &slots[1]);
  EXPECT_TRUE(reg.Add(&slots[CModelessRegistry::kMax]));
  EXPECT_EQ(reg.At(CModelessRegistry::kMax - 1), &slots[CModelessRegistry::kMax]);
}
