#include "app/LogonEnvironment.h"

#include <windows.h>

#include <algorithm>

#include "base/Cp932.h"
#include "search/FolderScan.h"

namespace {

constexpr char kSystemKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
constexpr char kUserKey[] = "Environment";

struct Variable {
  std::string Name;
  std::string Value;
  bool Expand = false;
};

bool SameName(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

// The string values of one key; false when the key cannot be read.
bool ReadVariables(HKEY root, const char* path, std::vector<Variable>& out) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  std::vector<char> name(16384), data(4096);
  for (DWORD index = 0;;) {
    DWORD nameLength = static_cast<DWORD>(name.size()), dataLength = static_cast<DWORD>(data.size() - 1), type = 0;
    const LONG result = RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &type,
                                      reinterpret_cast<BYTE*>(data.data()), &dataLength);
    if (result == ERROR_MORE_DATA) {
      // Asked again with room enough; an absurd value is passed over.
      if (data.size() >= (1u << 24)) {
        ++index;
      } else {
        data.resize(std::max<std::size_t>(dataLength + 2, data.size() * 2));
      }
      continue;
    }
    if (result != ERROR_SUCCESS) break;
    ++index;
    if (nameLength == 0 || (type != REG_SZ && type != REG_EXPAND_SZ)) continue;
    data[dataLength] = '\0';
    out.push_back({std::string(name.data(), nameLength), std::string(data.data(), tarn::BoundedLength(data.data(), dataLength)),
                   type == REG_EXPAND_SZ});
  }
  RegCloseKey(key);
  return true;
}

void Set(const std::string& name, const std::string& value) {
  SetEnvironmentVariableA(name.c_str(), value.c_str());
}

// Plain values first, then those that expand, against what is set by then:
// the order a logon sets them in.
void SetAll(const std::vector<Variable>& vars, const std::string* systemPath) {
  for (bool expanding : {false, true}) {
    for (const Variable& v : vars) {
      if (v.Expand != expanding) continue;
      std::string value = v.Expand ? tarn::ExpandEnvText(v.Value) : v.Value;
      // The user's Path adds to the system's rather than replacing it.
      if (systemPath && SameName(v.Name, "Path") && !systemPath->empty()) {
        value = *systemPath + (tarn::EndsWithChar(*systemPath, ';') ? "" : ";") + value;
      }
      Set(v.Name, value);
    }
  }
}

std::vector<std::string> NamesOf(const std::vector<Variable>& a, const std::vector<Variable>& b) {
  std::vector<std::string> names;
  for (const auto* vars : {&a, &b})
    for (const Variable& v : *vars) names.push_back(v.Name);
  return names;
}

}  // namespace

CLogonEnvironment::CLogonEnvironment() {
  std::vector<Variable> system, user;
  ReadVariables(HKEY_LOCAL_MACHINE, kSystemKey, system);
  ReadVariables(HKEY_CURRENT_USER, kUserKey, user);
  Names = NamesOf(system, user);
}

bool CLogonEnvironment::Reload() {
  std::vector<Variable> system, user;
  const bool haveSystem = ReadVariables(HKEY_LOCAL_MACHINE, kSystemKey, system);
  const bool haveUser = ReadVariables(HKEY_CURRENT_USER, kUserKey, user);
  if (!haveSystem && !haveUser) return false;
  const std::string path = tarn::GetEnvVar("PATH"), pathext = tarn::GetEnvVar("PATHEXT");

  std::vector<std::string> names = NamesOf(system, user);
  for (const std::string& old : Names) {
    if (std::none_of(names.begin(), names.end(), [&](const std::string& n) { return SameName(n, old); }))
      SetEnvironmentVariableA(old.c_str(), nullptr);
  }
  Names = std::move(names);
  SetAll(system, nullptr);
  const bool systemHasPath =
      std::any_of(system.begin(), system.end(), [](const Variable& v) { return SameName(v.Name, "Path"); });
  const std::string systemPath = systemHasPath ? tarn::GetEnvVar("PATH") : std::string();
  SetAll(user, &systemPath);
  return tarn::GetEnvVar("PATH") != path || tarn::GetEnvVar("PATHEXT") != pathext;
}
