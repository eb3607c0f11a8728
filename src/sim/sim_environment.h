#pragma once

#include <map>
#include <string>

#include "ports/environment.h"

namespace foxbane::sim {

class SimEnvironment : public Environment {
 public:
  static constexpr const char* kLoggedOnUser = "S-1-5-21-1004336348-1177238915-682003330-1001";

  std::string ApplicationFolder() override { return applicationFolder_; }
  std::string ProgramName() override { return "foxbane"; }
  std::string ExpandReferences(std::string_view text) override;
  std::string WindowsFolder() override { return "C:\\Windows"; }
  std::string ProgramDataFolder() override { return "C:\\ProgramData"; }
  std::vector<std::string> ProgramFilesFolders() override {
    return {"C:\\Program Files", "C:\\Program Files (x86)"};
  }
  std::string ProgramUserSid() override { return programUser_; }
  std::string ShellUserSid() override { return shellUser_; }

  void SetApplicationFolder(std::string folder) { applicationFolder_ = std::move(folder); }
  void SetVariable(std::string name, std::string value);
  // Who runs the program and who logged on; by default the same user.
  void SetUsers(std::string program, std::string shell) {
    programUser_ = std::move(program);
    shellUser_ = std::move(shell);
  }

 private:
  std::string applicationFolder_ = "C:\\Program Files\\Foxbane";
  std::map<std::string, std::string> variables_;  // names upper-cased
  std::string programUser_ = kLoggedOnUser;
  std::string shellUser_ = kLoggedOnUser;
};

}  // namespace foxbane::sim
