#include "base/Path.h"

#include <gtest/gtest.h>

using namespace tarn;

TEST(Path, SplitsLikeTheRuntime) {
  struct Case { const char* path; const char* drive; const char* dir; const char* fname; const char* ext; };
  const Case cases[] = {
      {"D:\\Tools\\edit.exe", "D:", "\\Tools\\", "edit", ".exe"},
      {"Foo 2.0", "", "", "Foo 2", ".0"},
      {"a.b.c", "", "", "a.b", ".c"},
      {"C:\\dir.x\\file", "C:", "\\dir.x\\", "file", ""},
      {"C:/a/b.txt", "C:", "/a/", "b", ".txt"},
      {"C:\\ソフト表\\表.exe", "C:", "\\ソフト表\\", "表", ".exe"},
      {"C:\\ソフト表", "C:", "\\", "ソフト表", ""},
      {"", "", "", "", ""},
  };
  for (const Case& c : cases) {
    PathParts p = SplitPath(c.path);
    EXPECT_EQ(p.Drive, c.drive) << c.path;
    EXPECT_EQ(p.Dir, c.dir) << c.path;
    EXPECT_EQ(p.Name, c.fname) << c.path;
    EXPECT_EQ(p.Ext, c.ext) << c.path;
  }
  EXPECT_EQ(DirectoryOf("C:\\Tools\\edit.exe"), "C:\\Tools\\");
}

TEST(Path, JoinAddsASeparatorOnlyWhereMissing) {
  EXPECT_EQ(JoinPath("C:\\ソフト表", "a.exe"), "C:\\ソフト表\\a.exe");
  EXPECT_EQ(JoinPath("C:\\", "a.exe"), "C:\\a.exe");
  EXPECT_EQ(JoinPath("C:/x/", "a.exe"), "C:/x/a.exe");
  EXPECT_EQ(JoinPath("", "a.exe"), "a.exe");
}
