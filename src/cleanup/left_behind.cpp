#include "cleanup/left_behind.h"

#include <utility>

#include "app/texts.h"

namespace foxbane::left_behind {

std::string Message(Reasons reasons, std::string_view quarantineFolder) {
  const std::string unsafe =
      std::string(texts::kQuarantineNotSafe) + std::string(quarantineFolder) + ".";
  const std::pair<Reasons, std::string_view> paragraphs[] = {
      {kQuarantineUnsafe, unsafe},
      {kNotKept, texts::kNotKept},
      {kNotRemoved, texts::kNotRemoved},
      {kAtRestart, texts::kAtRestart},
  };
  std::string message;
  for (const auto& [reason, paragraph] : paragraphs) {
    if ((reasons & reason) == 0) continue;
    if (!message.empty()) message += "\n\n";
    message += paragraph;
  }
  return message;
}

}  // namespace foxbane::left_behind
