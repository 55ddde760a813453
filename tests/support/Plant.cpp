// A library a bare-name lookup of the completion library would find beside the tests.
#include <windows.h>

extern "C" __declspec(dllexport) HRESULT WINAPI SHAutoComplete(HWND, DWORD) { return S_OK; }
