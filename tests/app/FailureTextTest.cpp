#include <gtest/gtest.h>

#include <string>

#include "base/Cp932.h"
#include "base/FailureText.h"

TEST(FailureText, LocationNameDropsEverythingUpToTheLastSeparator) {
  const struct Case { const char* file; const char* name; } cases[] = {
      {"C:\\src\\app\\BriskApp.cpp", "BriskApp.cpp"}, {"BriskApp.cpp", "BriskApp.cpp"},
      {"C:BriskApp.cpp", "BriskApp.cpp"}, {"C:\\src\\", ""}, {"", ""}, {"/work/src/settings/EnvFile.cpp", "EnvFile.cpp"},
      {"src\\\x95\x5C\\\x83\x5C.cpp", "\x83\x5C.cpp"}, {"C:\\\x95\x5C.cpp", "\x95\x5C.cpp"}};  // 表 and ソ end in 5C
  for (const Case& c : cases) EXPECT_EQ(tarn::LocationName(c.file), c.name) << c.file;
}

TEST(FailureText, AbendTraceAndWinApiTextsShowTheCallersValues) {
  struct Case { std::string details; const char* code; const char* file; int line; std::string expected; };
  const Case cases[] = {
      {tarn::ExpandReport("%s", "LVS と CAppListView の接続時"), "Dlg初期化エラー",
       "C:\\src\\launcher\\BrskDlg.cpp", 120,
       "アベンドコード[Dlg初期化エラー] 位置[BrskDlg.cpp, 120]\n[追加情報]LVS と CAppListView の接続時"},
      // '%' in the code, the file name and an argument are shown as they stand.
      {tarn::ExpandReport("%s=%d", "100%s", 7), "50%d", "C:\\x\\a%s%n.cpp", -3,
       "アベンドコード[50%d] 位置[a%s%n.cpp, -3]\n[追加情報]100%s=7"},
      {tarn::ExpandReport("%s[%lu, %s]", "WinAPI Error", 5ul, "アクセスが拒否されました。\r\n"),
       "WinAPI Error", "x.cpp", 1,
       "アベンドコード[WinAPI Error] 位置[x.cpp, 1]\n[追加情報]WinAPI Error[5, アクセスが拒否されました。\r\n]"}};
  for (const Case& c : cases) EXPECT_EQ(tarn::AbendText(c.code, c.file, c.line, c.details), c.expected);
  EXPECT_EQ(tarn::TraceText("C:\\a\\b.cpp", 42, tarn::ExpandReport("%s\n", "window 生成")),
            "Trace:window 生成\n [b.cpp, 42]");
  EXPECT_EQ(tarn::WinApiErrorDetails(2, "%1 not found"), "WinAPI Error[2, %1 not found]");
  EXPECT_EQ(tarn::WinApiErrorDetails(4294967295ul, ""), "WinAPI Error[4294967295, ]");
  EXPECT_EQ(tarn::ExpandReport(nullptr), "");
  EXPECT_EQ(tarn::ExpandReport("%%d is %d", 5), "%d is 5");
}

TEST(FailureText, LongTextsAreCutTo4095BytesOnACharacterBoundary) {
  // 4094 ASCII bytes then 表: the cut must not keep half of it.
  const std::string big = std::string(4094, 'a') + "\x95\x5C" + std::string(100, 'b');
  EXPECT_EQ(tarn::ExpandReport("%s", big.c_str()), std::string(4094, 'a'));
  EXPECT_EQ(tarn::ExpandReport("%s", std::string(4095, 'c').c_str()).size(), 4095u);
  std::string abend = tarn::AbendText("code", "f.cpp", 1, std::string(5000, 'x'));
  EXPECT_EQ(abend.size(), tarn::kMaxReportText);
  std::string trace = tarn::TraceText("f.cpp", 1, std::string(4090, 'y') + "表表表表表");
  EXPECT_LE(trace.size(), tarn::kMaxReportText);
  EXPECT_TRUE(tarn::IsValidCp932(trace));
  EXPECT_EQ(trace.find(" [f.cpp"), std::string::npos);
}
