#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace foxbane::reference {

// The detection rules applied exactly as stated: rule after rule, each text
// searched for over the whole contents, the first missing text ending that
// rule. Slow by design: the yardstick for the one-pass matcher.
inline int FirstMatchingRuleByRule(std::string_view contents,
                                   const std::vector<std::vector<std::string>>& rules) {
  const auto occurs = [&](const std::string& text) { return contents.find(text) != std::string_view::npos; };
  for (std::size_t rule = 0; rule < rules.size(); ++rule) {
    if (std::all_of(rules[rule].begin(), rules[rule].end(), occurs)) return static_cast<int>(rule) + 1;
  }
  return 0;
}

// Which of the rules' texts occur in `contents`, each searched for on its
// own: bit i for the i-th text, counting rule after rule.
inline std::uint16_t TextsFoundOneByOne(std::string_view contents,
                                        const std::vector<std::vector<std::string>>& rules) {
  std::uint16_t found = 0;
  unsigned bit = 0;
  for (const std::vector<std::string>& rule : rules) {
    for (const std::string& text : rule) {
      if (contents.find(text) != std::string_view::npos) found = static_cast<std::uint16_t>(found | (1u << bit));
      ++bit;
    }
  }
  return found;
}

}  // namespace foxbane::reference
