// A library that a bare-name lookup would find beside the test programs,
// with the function the launcher looks up for completion.
#include <windows.h>

extern "C" __declspec(dllexport) HRESULT WINAPI SHAutoComplete(HWND, DWORD) { return S_OK; }
