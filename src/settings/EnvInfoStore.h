// Access to the one shared settings record. Callers create a store on the
// stack for one operation; the shared record lives until FreeEnvInfo.
#pragma once

#include <windows.h>

#include <string>

#include "settings/EnvDlgInfo.h"

class CEnvInfoStore {
 public:
  // dir: folder of the settings files, ending with '\'; empty = the
  // program's own folder. Tests give a temporary folder.
  explicit CEnvInfoStore(const std::string& dir = std::string());
  ~CEnvInfoStore();

  bool GetEnvInfo(EnvDlgInfo* out);
  bool SaveEnvInfo(const EnvDlgInfo* in = nullptr);
  bool LoadEnvInfo();
  INT_PTR ShowEnvDialog(HWND owner, UINT notifyMessage);
  void FreeEnvInfo();
  bool IsEnvDialogOpen();
  // True when the last load found a "tlenv.ini" it could not read: saves are
  // refused until a later load reads it, so that it is not overwritten.
  static bool IsSavingRefused();
  // Whether "tlenv.ini" exists: until the first save it does not.
  bool HasSettingsFile() const;

  // Folder used by stores constructed without one (tests and the exe's
  // entry may point it elsewhere before the first use).
  static void SetDefaultDirectory(const std::string& dir);

  // The shared record itself, loaded on first use; for the settings dialog,
  // which edits it in place.
  EnvDlgInfo* SharedEnvInfo();

 private:
  std::string Dir;
  // Empty when the name does not fit in a 260-byte path: such a file is not
  // used (a cut name would be another file).
  std::string IniPath;  // "tlenv.ini"
  std::string TxtPath;  // "tlenv.txt"
  std::string OldPath;  // "brenv.txt"
  std::string TmpPath;  // "tlenv.tmp", written first and moved over "tlenv.ini"
};
