#include "sim/faults.h"

#include <algorithm>

namespace foxbane::sim {

namespace {
char Fold(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Fold(x) == Fold(y); });
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool LessNoCase(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(Fold(x)) < static_cast<unsigned char>(Fold(y));
  });
}

void Faults::Fail(std::string operation, ErrorCode code, int call, std::string subjectPrefix) {
  rules_.push_back(Rule{std::move(operation), code, call, std::move(subjectPrefix)});
}

ErrorCode Faults::Next(std::string_view operation, std::string_view subject) {
  auto counted = calls_.find(operation);
  if (counted == calls_.end()) {
    counted = calls_.emplace(std::string(operation), 0).first;
    order_.emplace_back(operation);
  }
  const int call = ++counted->second;
  for (const Rule& rule : rules_) {
    if (rule.operation == operation && (rule.call == kEveryCall || rule.call == call) &&
        StartsWithNoCase(subject, rule.subjectPrefix)) {
      return rule.code;
    }
  }
  return win_error::kSuccess;
}

int Faults::Calls(std::string_view operation) const {
  const auto found = calls_.find(operation);
  return found == calls_.end() ? 0 : found->second;
}

}  // namespace foxbane::sim
