#include "sim/sim_path.h"

namespace foxbane::sim {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsForbiddenInName(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code < 0x20 || std::string_view("<>:\"|?*").find(c) != std::string_view::npos;
}

bool HasDrive(std::string_view text) {
  return text.size() >= 2 && text[1] == ':' &&
         ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
}

void DropTrailingDotsAndSpaces(std::vector<std::string>& names) {
  if (names.empty()) return;
  std::string& last = names.back();
  while (!last.empty() && (last.back() == '.' || last.back() == ' ')) last.pop_back();
  if (last.empty()) names.pop_back();
}

}  // namespace

ErrorCode ParseSimPath(std::string_view text, SimPath& path) {
  path = SimPath{};
  if (text.empty()) return win_error::kPathNotFound;
  if (text.size() >= 2 && IsSeparator(text[0]) && IsSeparator(text[1])) {
    return win_error::kPathNotFound;  // no network in the sim
  }
  if (HasDrive(text)) {
    path.drive = static_cast<char>(text[0] & ~0x20);
    text.remove_prefix(2);
  }
  path.trailingSeparator = !text.empty() && IsSeparator(text.back());

  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = start;
    while (end < text.size() && !IsSeparator(text[end])) ++end;
    const std::string_view name = text.substr(start, end - start);
    start = end + 1;
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (!path.names.empty()) path.names.pop_back();
      continue;
    }
    for (char c : name) {
      if (IsForbiddenInName(c)) return win_error::kInvalidName;
    }
    path.names.emplace_back(name);
  }
  DropTrailingDotsAndSpaces(path.names);
  if (path.names.empty()) path.trailingSeparator = false;
  return win_error::kSuccess;
}

}  // namespace foxbane::sim
