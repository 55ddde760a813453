#include <windows.h>

#include "res/resource.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  char name[256] = {};
  LoadStringA(instance, IDS_PRODUCT_NAME, name, sizeof name);
  MessageBoxA(nullptr, "まだ完成していません。", name, MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
  return 0;
}
