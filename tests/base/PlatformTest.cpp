// The platform the Win32 tests run on: Japanese code page and shell folders.
#include <windows.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>

TEST(Platform, RunsWithCodePage932) {
  EXPECT_EQ(GetACP(), 932u);
  ASSERT_NE(setlocale(LC_ALL, "japanese"), nullptr);
  wchar_t w[4] = {};
  ASSERT_EQ(MultiByteToWideChar(932, 0, "表", -1, w, 4), 2);
  EXPECT_EQ(w[0], 0x8868);
  EXPECT_TRUE(IsDBCSLeadByte(0x95));
  EXPECT_FALSE(IsDBCSLeadByte(0xB6));
}
