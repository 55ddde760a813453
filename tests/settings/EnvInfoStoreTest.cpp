// The shared settings record and its files on disk: real files in a
// temporary folder, read and replaced through the store.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "support/TestSupport.h"
#include "settings/EnvFile.h"
#include "settings/EnvInfoStore.h"

namespace {

using tarn::test::FileExists;
using tarn::test::ReadFileBytes;
using tarn::test::TempDir;
using tarn::test::WriteFileBytes;

// Each test starts and ends without a shared record.
class EnvInfoStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { CEnvInfoStore(dir.Path()).FreeEnvInfo(); }
  void TearDown() override {
    CEnvInfoStore(dir.Path()).FreeEnvInfo();
    CEnvInfoStore::SetDefaultDirectory(std::string());
  }

  std::string Bytes(const std::string& name) {
    std::string b;
    EXPECT_TRUE(ReadFileBytes(dir / name, &b)) << name;
    return b;
  }

  TempDir dir;
};

EnvDlgInfo Loaded() {
  EnvDlgInfo info;
  ApplyLoadDefaults(info);
  return info;
}

// A file image of the current layout that differs from the defaults by
// its UpdateTimer.
std::string IniWithTimer(int32_t minutes) {
  EnvDlgInfo info = Loaded();
  info.UpdateTimer = minutes;
  return tarn::WriteEnvFile(info);
}

TEST_F(EnvInfoStoreTest, FilesAreTriedInOrderAndTheNextSaveCreatesTlenvIni) {
  struct Case {
    bool ini, txt, old;
    int32_t timer;  // 11 from tlenv.ini, 22 from tlenv.txt, else 360
    uint32_t vkey;  // 'Q' from brenv.txt, else 'W'
  } cases[] = {
      {true, true, true, 11, 'W'},  {false, true, true, 22, 'W'}, {false, false, true, 360, 'Q'},
      {true, false, false, 11, 'W'}, {false, false, false, 360, 'W'},
  };
  const std::string txt = IniWithTimer(22);
  const std::string old = "q\r\n0\r\nC:\\Old\r\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.ini << c.txt << c.old);
    TempDir folder;
    if (c.ini) WriteFileBytes(folder / "tlenv.ini", IniWithTimer(11));
    if (c.txt) WriteFileBytes(folder / "tlenv.txt", txt);
    if (c.old) WriteFileBytes(folder / "brenv.txt", old);
    CEnvInfoStore store(folder.Path());
    store.FreeEnvInfo();
    EnvDlgInfo info;
    ASSERT_TRUE(store.GetEnvInfo(&info));
    EXPECT_EQ(info.UpdateTimer, c.timer);
    EXPECT_EQ(info.HotKey.VKey, c.vkey);

    info.ExecList = {"次の語"};
    ASSERT_TRUE(store.SaveEnvInfo(&info));
    std::string ini;
    ASSERT_TRUE(ReadFileBytes(folder / "tlenv.ini", &ini));
    EXPECT_EQ(ini, tarn::WriteEnvFile(info));
    EXPECT_FALSE(FileExists(folder / "tlenv.tmp"));
    // The older files are left as they were.
    std::string b;
    EXPECT_EQ(c.txt, ReadFileBytes(folder / "tlenv.txt", &b) && b == txt);
    EXPECT_EQ(c.old, ReadFileBytes(folder / "brenv.txt", &b) && b == old);
    store.FreeEnvInfo();
  }
}

TEST_F(EnvInfoStoreTest, NoFileGivesTheLoadDefaults) {
  CEnvInfoStore store(dir.Path());
  EnvDlgInfo info;
  info.UpdateTimer = 5;
  ASSERT_TRUE(store.GetEnvInfo(&info));
  EXPECT_EQ(info, Loaded());
  EXPECT_FALSE(FileExists(dir / "tlenv.ini"));
}

TEST_F(EnvInfoStoreTest, SavedRecordReadsBackAfterFreeEnvInfo) {
  EnvDlgInfo info = Loaded();
  info.HotKey = {0, 1, 1, 1, 'K'};
  info.AnyDirs = {"C:\\ソフト表\\;.exe"};
  info.TopDirNumMax = 2;
  info.TopDirs = {"C:\\1.exe", "C:\\2.exe", "C:\\3.exe"};
  info.MainDlgRect = {-300, 10, 200, 400};
  info.StaticItems.push_back({"Web で 検索", "https://example.com/?q=%1", true, true});
  info.UpdateTimer = 45;
  {
    CEnvInfoStore store(dir.Path());
    ASSERT_TRUE(store.SaveEnvInfo(&info));
    store.FreeEnvInfo();
  }
  // Lines end with CR LF on disk.
  std::string bytes = Bytes("tlenv.ini");
  EXPECT_EQ(bytes.rfind("Bre_EnvDlgInfo-Version: 0200\r\nBre_HotKey-Version: 0100\r\n", 0), 0u);
  EnvDlgInfo back;
  ASSERT_TRUE(CEnvInfoStore(dir.Path()).GetEnvInfo(&back));
  info.TopDirs.resize(2);
  EXPECT_EQ(back, info);

  // A changed file is read again only after FreeEnvInfo.
  WriteFileBytes(dir / "tlenv.ini", IniWithTimer(77));
  CEnvInfoStore store(dir.Path());
  ASSERT_TRUE(store.GetEnvInfo(&back));
  EXPECT_EQ(back.UpdateTimer, 45);
  store.FreeEnvInfo();
  ASSERT_TRUE(store.GetEnvInfo(&back));
  EXPECT_EQ(back, [] {
    EnvDlgInfo e = Loaded();
    e.UpdateTimer = 77;
    return e;
  }());
}

TEST_F(EnvInfoStoreTest, GetEnvInfoIntoTheSharedRecordChangesNothing) {
  WriteFileBytes(dir / "tlenv.ini", IniWithTimer(33));
  CEnvInfoStore store(dir.Path());
  EnvDlgInfo* shared = store.SharedEnvInfo();
  ASSERT_NE(shared, nullptr);
  EnvDlgInfo before = *shared;
  EXPECT_TRUE(store.GetEnvInfo(shared));
  EXPECT_EQ(*shared, before);
  EXPECT_EQ(shared->UpdateTimer, 33);
  // Saving without a record writes the shared one as it stands.
  shared->UpdateTimer = 34;
  ASSERT_TRUE(store.SaveEnvInfo());
  EXPECT_EQ(Bytes("tlenv.ini"), IniWithTimer(34));
  EXPECT_FALSE(store.GetEnvInfo(nullptr));
}

TEST_F(EnvInfoStoreTest, UnwritableIniKeepsItsBytesWhileTheRecordTakesTheNewValues) {
  struct Case {
    const char* name;
    void (*block)(const std::string& ini);
    void (*unblock)(const std::string& ini);
  } cases[] = {
      {"read-only file",
       [](const std::string& ini) {
         WriteFileBytes(ini, IniWithTimer(11));
         ASSERT_TRUE(SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY));
       },
       [](const std::string& ini) { SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL); }},
      {"folder of that name",
       [](const std::string& ini) {
         ASSERT_TRUE(CreateDirectoryA(ini.c_str(), nullptr));
         WriteFileBytes(ini + "\\inside.txt", "keep");
       },
       [](const std::string&) {}},
      {"temporary file cannot be made",
       [](const std::string& ini) {
         WriteFileBytes(ini, IniWithTimer(11));
         std::string tmp = ini.substr(0, ini.size() - 3) + "tmp";
         ASSERT_TRUE(CreateDirectoryA(tmp.c_str(), nullptr));
       },
       [](const std::string& ini) {
         std::string tmp = ini.substr(0, ini.size() - 3) + "tmp";
         RemoveDirectoryA(tmp.c_str());
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir folder;
    const std::string ini = folder / "tlenv.ini";
    c.block(ini);
    std::string before;
    bool wasFile = ReadFileBytes(ini, &before);
    WriteFileBytes(folder / "tlenv.txt", IniWithTimer(22));

    CEnvInfoStore store(folder.Path());
    store.FreeEnvInfo();
    EnvDlgInfo info;
    ASSERT_TRUE(store.GetEnvInfo(&info));
    info.TopDirs = {"C:\\今回.exe"};
    info.MainDlgRect = {1, 2, 3, 4};
    EXPECT_FALSE(store.SaveEnvInfo(&info));

    std::string after;
    EXPECT_EQ(ReadFileBytes(ini, &after), wasFile);
    EXPECT_EQ(after, before);
    DWORD tmpAttr = GetFileAttributesA((folder / "tlenv.tmp").c_str());
    EXPECT_TRUE(tmpAttr == INVALID_FILE_ATTRIBUTES || (tmpAttr & FILE_ATTRIBUTE_DIRECTORY));
    EnvDlgInfo shared;
    ASSERT_TRUE(store.GetEnvInfo(&shared));
    EXPECT_EQ(shared, info);
    store.FreeEnvInfo();
    c.unblock(ini);
  }
}

TEST_F(EnvInfoStoreTest, AnIniThatCouldNotBeReadIsNotReplacedByOlderSettings) {
  const std::string mine = IniWithTimer(11);
  WriteFileBytes(dir / "tlenv.ini", mine);
  WriteFileBytes(dir / "tlenv.txt", IniWithTimer(22));
  CEnvInfoStore store(dir.Path());
  EnvDlgInfo info;
  {
    // Another program holds the file without sharing it while we load.
    HANDLE lock = CreateFileA((dir / "tlenv.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(store.GetEnvInfo(&info));
    CloseHandle(lock);
  }
  EXPECT_EQ(info.UpdateTimer, 22);
  info.ExecList = {"word"};
  EXPECT_FALSE(store.SaveEnvInfo(&info));
  EXPECT_EQ(Bytes("tlenv.ini"), mine);
  // The next load reads it again, and saving works from then on.
  store.FreeEnvInfo();
  ASSERT_TRUE(store.GetEnvInfo(&info));
  EXPECT_EQ(info.UpdateTimer, 11);
  info.UpdateTimer = 12;
  EXPECT_TRUE(store.SaveEnvInfo(&info));
  EXPECT_EQ(Bytes("tlenv.ini"), IniWithTimer(12));

  // Held only for a moment, as by a scanner at logon: the load waits for it.
  store.FreeEnvInfo();
  HANDLE brief = CreateFileA((dir / "tlenv.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(brief, INVALID_HANDLE_VALUE);
  std::thread releaser([brief] { Sleep(300); CloseHandle(brief); });
  ASSERT_TRUE(store.GetEnvInfo(&info));
  releaser.join();
  EXPECT_EQ(info.UpdateTimer, 12);
  EXPECT_FALSE(CEnvInfoStore::IsSavingRefused());
}

TEST_F(EnvInfoStoreTest, DefaultDirectoryServesStoresBuiltWithoutOne) {
  CEnvInfoStore::SetDefaultDirectory(dir.Path());
  CEnvInfoStore store;
  EnvDlgInfo info = Loaded();
  info.UpdateTimer = 12;
  ASSERT_TRUE(store.SaveEnvInfo(&info));
  EXPECT_EQ(Bytes("tlenv.ini"), IniWithTimer(12));
  EXPECT_EQ(store.ShowEnvDialog(nullptr, WM_USER + 10), -3);  // no template here: nothing opens
  EXPECT_FALSE(store.IsEnvDialogOpen());
}

TEST_F(EnvInfoStoreTest, AFolderTooLongForTheFileNamesIsNotUsed) {
  // The folder fits in 260 bytes, "tlenv.ini" after it does not: the file
  // must not be written under a cut name such as "tlenv.in".
  std::string base = dir.Path() + "\\";
  std::string deep = base + std::string(259 - 9 - base.size() - 1 + 1, 'd');
  ASSERT_EQ(deep.size() + 1 + 9, 260u);
  ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr)) << GetLastError();
  WriteFileBytes(deep + "\\tlenv.in", "");
  CEnvInfoStore store(deep);
  store.FreeEnvInfo();
  EnvDlgInfo info;
  ASSERT_TRUE(store.GetEnvInfo(&info));
  EXPECT_EQ(info, Loaded());
  info.UpdateTimer = 99;
  EXPECT_FALSE(store.SaveEnvInfo(&info));
  std::string b;
  ASSERT_TRUE(ReadFileBytes(deep + "\\tlenv.in", &b));
  EXPECT_EQ(b, "");
  EnvDlgInfo shared;
  ASSERT_TRUE(store.GetEnvInfo(&shared));
  EXPECT_EQ(shared.UpdateTimer, 99);
}

}  // namespace
