#pragma once

#include <map>
#include <string>

#include "ports/environment.h"

namespace foxbane::sim {

class SimEnvironment : public Environment {
 public:
  std::string ApplicationFolder() override { return applicationFolder_; }
  std::string ProgramName() override { return "foxbane"; }
  std::string ExpandReferences(std::string_view text) override;
  std::string WindowsFolder() override { return "C:\\Windows"; }
  std::string ProgramDataFolder() override { return "C:\\ProgramData"; }
  std::vector<std::string> ProgramFilesFolders() override {
    return {"C:\\Program Files", "C:\\Program Files (x86)"};
  }

  void SetApplicationFolder(std::string folder) { applicationFolder_ = std::move(folder); }
  void SetVariable(std::string name, std::string value);

 private:
  std::string applicationFolder_ = "C:\\Program Files\\Foxbane";
  std::map<std::string, std::string> variables_;  // names upper-cased
};

}  // namespace foxbane::sim
