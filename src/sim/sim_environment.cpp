#include "sim/sim_environment.h"

#include "common/vb_conversions.h"

namespace foxbane::sim {

void SimEnvironment::SetVariable(std::string name, std::string value) {
  variables_[ToUpperAscii(name)] = std::move(value);
}

// As ExpandEnvironmentStrings: a reference to an unknown name, or a lone
// "%", stays as written, and the "%" that closes an unknown name opens no
// other reference.
std::string SimEnvironment::ExpandReferences(std::string_view text) {
  std::string result;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t open = text.find('%', i);
    const std::size_t close = open == std::string_view::npos ? open : text.find('%', open + 1);
    if (close == std::string_view::npos) {
      result.append(text.substr(i));
      break;
    }
    result.append(text.substr(i, open - i));
    const auto found = variables_.find(ToUpperAscii(text.substr(open + 1, close - open - 1)));
    if (found == variables_.end()) {
      result.append(text.substr(open, close - open + 1));
    } else {
      result.append(found->second);
    }
    i = close + 1;
  }
  return result;
}

}  // namespace foxbane::sim
