// Starting with Windows: a shortcut to the program in the user's Startup
// folder. The shortcut is the setting; nothing else records it.
#pragma once

#include <string>

namespace tarn {

inline constexpr char kStartupShortcutName[] = "Tarn Launcher.lnk";

// The user's Startup folder; empty when the shell knows none. Tests point
// it elsewhere, and back to the shell's with an empty folder.
std::string StartupFolder();
void SetStartupFolder(const std::string& folder);

// A shortcut's target and working folder; false when it cannot be read.
bool ReadShortcut(const std::string& link, std::string& target, std::string& workDir);

// True when a shortcut in folder starts program.
bool StartsWithWindows(const std::string& folder, const std::string& program);

// On: makes folder\Tarn Launcher.lnk to program, with the program's folder
// as working folder, or mends it when it points elsewhere; a shortcut of
// another name that starts program already does. Off: removes every
// shortcut there that starts program. False when the folder cannot be
// written.
bool SetStartWithWindows(const std::string& folder, const std::string& program, bool on);

}  // namespace tarn
