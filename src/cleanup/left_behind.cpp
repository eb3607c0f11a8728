#include "cleanup/left_behind.h"

#include <string_view>
#include <utility>

#include "app/texts.h"

namespace foxbane::left_behind {

std::string Message(Reasons reasons) {
  static constexpr std::pair<Reasons, std::string_view> kParagraphs[] = {
      {kNotKept, texts::kNotKept},
      {kNotRemoved, texts::kNotRemoved},
  };
  std::string message;
  for (const auto& [reason, paragraph] : kParagraphs) {
    if ((reasons & reason) == 0) continue;
    if (!message.empty()) message += "\n\n";
    message += paragraph;
  }
  return message;
}

}  // namespace foxbane::left_behind
