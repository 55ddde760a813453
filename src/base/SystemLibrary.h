// The system's own libraries, loaded from the system folder only; and
// telling Wine from Windows where their shells differ.
#pragma once

#include <windows.h>

namespace tarn {

// Loads a library by its bare name from the system folder only: a library
// of the same name beside the program or in the current folder is never
// picked up. nullptr when it is not there or the name holds a folder.
HMODULE LoadSystemLibrary(const char* name);

// True when the program runs under Wine rather than on Windows.
bool RunningUnderWine();

}  // namespace tarn
