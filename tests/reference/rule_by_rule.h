#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace foxbane::reference {

// The detection rules applied exactly as stated: rule after rule, each text
// searched for over the whole contents, the first missing text ending that
// rule. Slow by design: the yardstick for the one-pass matcher.
inline int FirstMatchingRuleByRule(std::string_view contents,
                                   const std::vector<std::vector<std::string>>& rules) {
  for (std::size_t rule = 0; rule < rules.size(); ++rule) {
    bool holds = true;
    for (const std::string& text : rules[rule]) {
      if (contents.find(text) == std::string_view::npos) {
        holds = false;
        break;
      }
    }
    if (holds) return static_cast<int>(rule) + 1;
  }
  return 0;
}

}  // namespace foxbane::reference
