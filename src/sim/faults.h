#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ports/error_code.h"

namespace foxbane::sim {

// Decides which calls of the sim adapters fail, and with which Windows error.
// Operations are named "Port.Operation" ("FileSystem.RemoveFile"); a rule may
// be narrowed to calls whose subject (a path, a key) begins with a text,
// compared without regard to case as Windows compares names.
class Faults {
 public:
  static constexpr int kEveryCall = 0;

  // Fails the `call`-th call (1-based) of `operation`, or every call.
  void Fail(std::string operation, ErrorCode code, int call = kEveryCall,
            std::string subjectPrefix = {});
  void Clear() { rules_.clear(); }

  // Called by the adapters at the start of each operation: counts the call
  // and returns the error to fail it with, or 0 to let it run.
  ErrorCode Next(std::string_view operation, std::string_view subject = {});

  int Calls(std::string_view operation) const;
  // Every operation called so far, each once, in order of first call.
  const std::vector<std::string>& OperationsCalled() const { return order_; }

 private:
  struct Rule {
    std::string operation;
    ErrorCode code;
    int call;
    std::string subjectPrefix;
  };
  std::vector<Rule> rules_;
  std::map<std::string, int, std::less<>> calls_;
  std::vector<std::string> order_;
};

// Case-insensitive comparison of names as Windows does it for ASCII letters.
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool LessNoCase(std::string_view a, std::string_view b);

}  // namespace foxbane::sim
