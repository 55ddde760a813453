// The histories as the launcher dialog records them after a successful
// launch: the search word goes to ExecList and to the search box's
// drop-down, the selected row's path to TopDirs.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "settings/EnvDlgInfo.h"

// Makes the combo box's drop-down hold exactly the entries of execList, in
// order, rewriting only from the first entry that differs. The edit text of
// the combo box stays as it is.
bool SyncSearchWordDropDown(HWND combo, const std::vector<std::string>& execList);

// The word to the front of ExecList (case ignored for duplicates, cut to
// ExecListNumMax) and the drop-down brought in step. Answers whether
// ExecList changed.
bool AddSearchWord(HWND combo, EnvDlgInfo& info, std::string_view word);

// The selected row of a list control and the whole text of its path column
// (column 1), however long. False when no row is selected.
bool ReadSelectedRowPath(HWND list, int* row, std::string* path);

// Both additions after a launch: the word to ExecList and the launcher
// dialog's drop-down, the started row's path to TopDirs (none for a static
// row, whose path column is empty).
void RecordLaunchHistories(HWND dialog, EnvDlgInfo& info, std::string_view word, std::string_view path);
