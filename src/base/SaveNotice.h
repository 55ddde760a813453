// A file the program keeps in its folder (settings and histories, the
// candidate cache) could not be written. Saves on any thread say so here;
// the window named last hears of it by one posted message, so that the user
// can be told once instead of losing everything at exit without a word.
// Only a temporary file that cannot be made or written counts: a finished
// file that cannot replace the old one is most often held by another
// program for a moment, and the next save tries again.
#pragma once

#include <windows.h>

// nullptr: nobody listens (and the next failure is not posted).
void SetSaveFailureNotice(HWND window, UINT message);
void NoteSaveFailure();
