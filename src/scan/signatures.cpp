#include "scan/signatures.h"

#include "scan/signature_texts.h"
#include "scan/text_search.h"

namespace foxbane {

// The texts are found first, all in one pass, then the rules are applied in
// order: the same answer as testing rule by rule, without one pass per text.
int FirstMatchingRule(signatures::TextSet found) {
  using signatures::RuleTexts;
  for (std::size_t rule = 0; rule < signatures::kRuleSizes.size(); ++rule) {
    if ((found & RuleTexts(rule)) == RuleTexts(rule)) return static_cast<int>(rule) + 1;
  }
  return 0;
}

int FirstMatchingRule(std::string_view contents) {
  // Rule 1 wins whatever else is found, so the pass may end once it holds.
  return FirstMatchingRule(signatures::FindTexts(contents, signatures::RuleTexts(0)));
}

std::vector<std::vector<std::string>> SignatureRuleTexts() {
  std::vector<std::vector<std::string>> rules;
  std::size_t next = 0;
  for (const std::size_t size : signatures::kRuleSizes) {
    std::vector<std::string>& texts = rules.emplace_back();
    for (std::size_t i = 0; i < size; ++i, ++next) {
      const std::u16string_view wide = signatures::kTexts[next];
      texts.emplace_back(wide.begin(), wide.end());
    }
  }
  return rules;
}

}  // namespace foxbane
