#include "sim/profile_contents.h"

#include <algorithm>
#include <iterator>

#include "sim/faults.h"

namespace foxbane::sim {

namespace {

bool IsProfileBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1A;
}

}  // namespace

std::string_view TrimLeadingProfileBlanks(std::string_view text) {
  while (!text.empty() && IsProfileBlank(text.front())) text.remove_prefix(1);
  return text;
}

std::string_view TrimProfileBlanks(std::string_view text) {
  text = TrimLeadingProfileBlanks(text);
  while (!text.empty() && IsProfileBlank(text.back())) text.remove_suffix(1);
  return text;
}

ProfileContents ProfileContents::Parse(std::string_view text) {
  ProfileContents contents;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = TrimProfileBlanks(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.empty()) continue;

    const std::size_t close = line.rfind(']');
    if (line.front() == '[' && close != std::string_view::npos) {
      contents.sections_.push_back(
          Section{std::string(TrimProfileBlanks(line.substr(1, close - 1))), {}});
      continue;
    }
    // A header without "]" is an ordinary line of the section before it.
    Entry entry;
    const std::size_t equals = line.find('=');
    entry.name = std::string(TrimProfileBlanks(line.substr(0, equals)));
    if (equals != std::string_view::npos) {
      entry.value = std::string(TrimLeadingProfileBlanks(line.substr(equals + 1)));
    }
    contents.sections_.back().entries.push_back(std::move(entry));
  }
  return contents;
}

std::string ProfileContents::Serialize() const {
  std::string text;
  for (const Section& section : sections_) {
    if (!section.name.empty()) text += "[" + section.name + "]\r\n";
    for (const Entry& entry : section.entries) {
      text += entry.name;
      if (entry.value) text += "=" + *entry.value;
      text += "\r\n";
    }
  }
  return text;
}

std::size_t ProfileContents::IndexOfTrimmed(std::string_view section) const {
  const std::string_view wanted = TrimProfileBlanks(section);
  const auto found = std::find_if(sections_.begin(), sections_.end(), [&](const Section& s) {
    return EqualsNoCase(s.name, wanted);
  });
  return static_cast<std::size_t>(found - sections_.begin());
}

// Only the first section of a name is searched, as Windows does.
const std::string* ProfileContents::Find(std::string_view section,
                                         std::string_view entry) const {
  const std::size_t index = IndexOfTrimmed(section);
  if (index == sections_.size()) return nullptr;
  const std::string_view wanted = TrimProfileBlanks(entry);
  for (const Entry& candidate : sections_[index].entries) {
    if (EqualsNoCase(candidate.name, wanted)) return candidate.value ? &*candidate.value : nullptr;
  }
  return nullptr;
}

const ProfileContents::Section* ProfileContents::FindSection(std::string_view section) const {
  const auto found = std::find_if(sections_.begin(), sections_.end(), [&](const Section& s) {
    return !s.name.empty() && EqualsNoCase(s.name, section);
  });
  return found == sections_.end() ? nullptr : &*found;
}

bool ProfileContents::Set(std::string_view section, std::string_view entry,
                          std::string_view value) {
  const std::size_t index = IndexOfTrimmed(section);
  Section* target = index < sections_.size()
                        ? &sections_[index]
                        : &sections_.emplace_back(Section{std::string(TrimProfileBlanks(section)), {}});
  const std::string_view name = TrimProfileBlanks(entry);
  auto found = std::find_if(target->entries.begin(), target->entries.end(),
                            [&](const Entry& e) { return EqualsNoCase(e.name, name); });
  if (found == target->entries.end()) {
    target->entries.push_back(Entry{std::string(name), std::nullopt});
    found = std::prev(target->entries.end());
  }
  if (found->value == value) return false;
  found->value = std::string(value);
  return true;
}

bool ProfileContents::Remove(std::string_view section, std::string_view entry) {
  for (Section& candidate : sections_) {
    if (candidate.name.empty() || !EqualsNoCase(candidate.name, section)) continue;
    const auto found = std::find_if(candidate.entries.begin(), candidate.entries.end(),
                                    [&](const Entry& e) { return EqualsNoCase(e.name, entry); });
    if (found != candidate.entries.end()) {
      candidate.entries.erase(found);
      return true;
    }
  }
  return false;
}

}  // namespace foxbane::sim
