#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace foxbane {

// Facts about where and how the program runs.
class Environment {
 public:
  virtual ~Environment() = default;
  // The folder that holds the program's executable: no trailing "\" except
  // at a drive root ("C:\").
  virtual std::string ApplicationFolder() = 0;
  // The program's executable name without folder or extension.
  virtual std::string ProgramName() = 0;
  // ExpandEnvironmentStrings: %NAME% references replaced by their values.
  virtual std::string ExpandReferences(std::string_view text) = 0;
  // The Windows folder (GetWindowsDirectory), without a trailing "\".
  virtual std::string WindowsFolder() = 0;
  // The folder for every user's program data ("C:\ProgramData"), without a
  // trailing "\", taken from the system and not from a variable.
  virtual std::string ProgramDataFolder() = 0;
  // The system's program folders, each once: on 64-bit Windows the 64-bit
  // and the 32-bit one ("Program Files" and "Program Files (x86)"), whichever
  // kind of program asks. Taken from the system, not from variables that any
  // program may set.
  virtual std::vector<std::string> ProgramFilesFolders() = 0;
  // The user the program runs as, and the user who owns the shell of the
  // program's session (the desktop the user logged on to), as string SIDs
  // ("S-1-5-21-..."); empty when unknown (no shell runs, or it may not be
  // asked). They differ when the program was started with another account's
  // password at the elevation prompt.
  virtual std::string ProgramUserSid() = 0;
  virtual std::string ShellUserSid() = 0;
};

}  // namespace foxbane
