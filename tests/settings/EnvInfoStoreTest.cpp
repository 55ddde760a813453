// The shared settings record and its files on disk, read and replaced
// through the store.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "support/TestSupport.h"
#include "settings/EnvFile.h"
#include "settings/EnvInfoStore.h"

namespace {

using namespace tarn::test;

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
  struct Case { bool ini, txt, old; int32_t timer; };  // 11 from tlenv.ini, 22 from tlenv.txt
  const Case cases[] = {{true, true, true, 11}, {false, true, true, 22}, {false, false, true, 360},
                        {true, false, false, 11}, {false, false, false, 360}};
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
    EnvDlgInfo info, expected = Loaded();
    info.UpdateTimer = 5;
    ASSERT_TRUE(store.GetEnvInfo(&info));
    expected.UpdateTimer = c.timer;
    if (c.old && !c.ini && !c.txt) {
      expected.HotKey.VKey = 'Q';
      expected.AnyDirs = {"C:\\Old"};
    }
    EXPECT_EQ(info, expected);
    EXPECT_EQ(FileExists(folder / "tlenv.ini"), c.ini);
    info.ExecList = {"次の語"};
    ASSERT_TRUE(store.SaveEnvInfo(&info));
    std::string b;
    EXPECT_TRUE(ReadFileBytes(folder / "tlenv.ini", &b) && b == tarn::WriteEnvFile(info));
    EXPECT_FALSE(FileExists(folder / "tlenv.tmp"));
    // The older files are left as they were.
    EXPECT_EQ(c.txt, ReadFileBytes(folder / "tlenv.txt", &b) && b == txt);
    EXPECT_EQ(c.old, ReadFileBytes(folder / "brenv.txt", &b) && b == old);
  }
}

TEST_F(EnvInfoStoreTest, OneSharedRecordUntilFreeEnvInfo) {
  CEnvInfoStore::SetDefaultDirectory(dir.Path());  // for stores built without a folder
  WriteFileBytes(dir / "tlenv.ini", IniWithTimer(45));
  CEnvInfoStore store;
  EnvDlgInfo* shared = store.SharedEnvInfo();
  ASSERT_NE(shared, nullptr);
  const EnvDlgInfo before = *shared;
  EXPECT_TRUE(store.GetEnvInfo(shared));  // into itself: nothing changes
  EXPECT_EQ(*shared, before);
  EXPECT_EQ(shared->UpdateTimer, 45);
  EXPECT_FALSE(store.GetEnvInfo(nullptr));
  // A changed file is read again only after FreeEnvInfo.
  WriteFileBytes(dir / "tlenv.ini", IniWithTimer(77));
  EnvDlgInfo info;
  ASSERT_TRUE(store.GetEnvInfo(&info));
  EXPECT_EQ(info.UpdateTimer, 45);
  store.FreeEnvInfo();
  ASSERT_TRUE(store.GetEnvInfo(&info));
  EXPECT_EQ(info.UpdateTimer, 77);
  // Saving without a record writes the shared one as it stands.
  store.SharedEnvInfo()->UpdateTimer = 34;
  ASSERT_TRUE(store.SaveEnvInfo());
  EXPECT_EQ(Bytes("tlenv.ini"), IniWithTimer(34));
  EXPECT_EQ(store.ShowEnvDialog(nullptr, WM_USER + 10), -3);  // no template here: nothing opens
  EXPECT_FALSE(store.IsEnvDialogOpen());
}

TEST_F(EnvInfoStoreTest, UnwritableIniKeepsItsBytesWhileTheRecordTakesTheNewValues) {
  struct Case { const char* name; bool readOnly, iniFolder, tmpFolder; };
  const Case cases[] = {{"read-only file", true, false, false}, {"folder of that name", false, true, false},
                        {"temporary file cannot be made", false, false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir folder;
    const std::string ini = folder / "tlenv.ini", tmp = folder / "tlenv.tmp";
    if (c.iniFolder) MakeDirs(ini);
    WriteFileBytes(c.iniFolder ? ini + "\\inside.txt" : ini, IniWithTimer(11));
    EXPECT_TRUE(!c.readOnly || SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY));
    if (c.tmpFolder) MakeDirs(tmp);
    std::string before, after;
    const bool wasFile = ReadFileBytes(ini, &before);
    WriteFileBytes(folder / "tlenv.txt", IniWithTimer(22));
    CEnvInfoStore store(folder.Path());
    store.FreeEnvInfo();
    EnvDlgInfo info, shared;
    ASSERT_TRUE(store.GetEnvInfo(&info));
    info.TopDirs = {"C:\\今回.exe"};
    EXPECT_FALSE(store.SaveEnvInfo(&info));
    EXPECT_TRUE(ReadFileBytes(ini, &after) == wasFile && after == before);
    EXPECT_TRUE(!FileExists(tmp) || (GetFileAttributesA(tmp.c_str()) & FILE_ATTRIBUTE_DIRECTORY));
    ASSERT_TRUE(store.GetEnvInfo(&shared));
    EXPECT_EQ(shared, info);
  }
}

TEST_F(EnvInfoStoreTest, AnIniThatCouldNotBeReadIsNotReplacedByOlderSettings) {
  const std::string mine = IniWithTimer(11);
  WriteFileBytes(dir / "tlenv.ini", mine);
  WriteFileBytes(dir / "tlenv.txt", IniWithTimer(22));
  CEnvInfoStore store(dir.Path());
  EnvDlgInfo info;
  // Another program holds the file without sharing it while we load.
  auto hold = [&] {
    return CreateFileA((dir / "tlenv.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  };
  HANDLE lock = hold();
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(store.GetEnvInfo(&info));
  CloseHandle(lock);
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
  HANDLE brief = hold();
  ASSERT_NE(brief, INVALID_HANDLE_VALUE);
  std::thread releaser([brief] { Sleep(300); CloseHandle(brief); });
  ASSERT_TRUE(store.GetEnvInfo(&info));
  releaser.join();
  EXPECT_EQ(info.UpdateTimer, 12);
  EXPECT_FALSE(CEnvInfoStore::IsSavingRefused());
}

TEST_F(EnvInfoStoreTest, AFolderTooLongForTheFileNamesIsNotUsed) {
  // The folder fits in 260 bytes, "tlenv.ini" after it does not: the file
  // must not be written under a cut name such as "tlenv.in".
  const std::string deep = dir / std::string(250 - dir.Path().size() - 1, 'd');
  ASSERT_EQ(deep.size() + 1 + 9, 260u);
  ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr)) << GetLastError();
  WriteFileBytes(deep + "\\tlenv.in", "");
  CEnvInfoStore store(deep);
  EnvDlgInfo info;
  ASSERT_TRUE(store.GetEnvInfo(&info));
  EXPECT_EQ(info, Loaded());
  info.UpdateTimer = 99;
  EXPECT_FALSE(store.SaveEnvInfo(&info));
  std::string b = "x";
  EXPECT_TRUE(ReadFileBytes(deep + "\\tlenv.in", &b) && b.empty());
}

}  // namespace
