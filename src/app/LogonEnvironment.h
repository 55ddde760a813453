// The environment a new logon would give: the system's and the user's
// variables from the registry, taken into this process when the system
// says they changed, so that programs started from the launcher get them.
#pragma once

#include <string>
#include <vector>

class CLogonEnvironment {
 public:
  // Remembers which names the registry holds now, so that a variable
  // deleted later can be deleted here too.
  CLogonEnvironment();

  // Reads both sets again, expanded as at logon (the system's first, the
  // user's after, the user's Path appended to the system's), sets them in
  // this process and removes those gone from the registry. True when PATH
  // or PATHEXT changed, which changes what a collection finds.
  bool Reload();

 private:
  std::vector<std::string> Names;
};
