#pragma once

#include "ports/environment.h"

namespace foxbane::win32 {

class Win32Environment : public Environment {
 public:
  std::string ApplicationFolder() override;
  std::string ProgramName() override;
  std::string ExpandReferences(std::string_view text) override;
  std::string WindowsFolder() override;
  std::string ProgramDataFolder() override;
  std::vector<std::string> ProgramFilesFolders() override;
  std::string ProgramUserSid() override;
  std::string ShellUserSid() override;
};

}  // namespace foxbane::win32
