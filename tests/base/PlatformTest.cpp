// What the program takes from the platform: the Japanese code page, whose
// lead bytes are ours, and the folder it runs from.
#include <windows.h>

#include <gtest/gtest.h>

#include <clocale>

#include "base/Cp932.h"
#include "base/WinHandle.h"

TEST(Platform, FactsTheProgramReliesOn) {
  EXPECT_EQ(GetACP(), 932u);
  EXPECT_NE(setlocale(LC_ALL, "japanese"), nullptr);
  for (int b = 0; b < 256; ++b)
    EXPECT_EQ(tarn::IsLeadByte(static_cast<unsigned char>(b)), IsDBCSLeadByte(static_cast<BYTE>(b)) != 0) << b;
  const std::string dir = tarn::ProgramDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '\\');
}
