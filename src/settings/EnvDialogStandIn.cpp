// Until the settings dialog exists: it opens nothing and is never open.
#include "settings/EnvInfoStore.h"

INT_PTR CEnvInfoStore::ShowEnvDialog(HWND, UINT) {
  SharedEnvInfo();
  return 0;
}

bool CEnvInfoStore::IsEnvDialogOpen() { return false; }
