#pragma once

#include <string>
#include <string_view>

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
};

}  // namespace foxbane
