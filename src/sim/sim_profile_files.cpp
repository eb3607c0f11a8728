#include "sim/sim_profile_files.h"

#include <algorithm>

#include "common/utf.h"
#include "sim/sim_path.h"

namespace foxbane::sim {

namespace {

// GetPrivateProfileInt reads the entry into a buffer of this many characters.
constexpr std::uint32_t kIntTextCapacity = 30;

// The folder a new file would go into.
std::string ParentFolder(std::string_view file) {
  SimPath path;
  if (ParseSimPath(file, path) != win_error::kSuccess || path.names.empty()) return {};
  std::string folder = std::string(1, path.drive) + ":";
  for (std::size_t i = 0; i + 1 < path.names.size(); ++i) folder += "\\" + path.names[i];
  return folder + "\\";
}

// Trailing spaces of a default do not count (other blanks do).
std::string_view WithoutTrailingSpaces(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// An entry as copied into a buffer of `capacity` characters: matching quotes
// around it are removed, but only the closing one is looked for at the end of
// what fits, so a value that only just fits loses its last character instead.
std::string CopyEntry(std::string_view value, std::uint32_t capacity) {
  std::u16string units = Utf16FromUtf8(value);
  const bool quoted = units.size() >= 2 && (units.front() == u'"' || units.front() == u'\'') &&
                      units.back() == units.front();
  if (quoted) units.erase(0, 1);
  std::u16string copy = units.substr(0, capacity - 1);
  if (quoted && capacity >= units.size() && !copy.empty()) copy.pop_back();
  return Utf8FromUtf16(copy);
}

// As RtlUnicodeStringToInteger in base 0: blanks, a sign, an optional 0x,
// 0o or 0b prefix, then digits up to the first that does not belong.
std::int32_t ParseProfileInt(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  std::uint32_t base = 10;
  if (text.size() >= 2 && text[0] == '0') {
    const std::string_view prefixes = "box";
    const std::uint32_t bases[] = {2, 8, 16};
    const std::size_t prefix = prefixes.find(text[1]);
    if (prefix != std::string_view::npos) {
      base = bases[prefix];
      text.remove_prefix(2);
    }
  }
  std::uint32_t total = 0;
  for (char c : text) {
    std::uint32_t digit = base;
    if (c >= '0' && c <= '9') digit = static_cast<std::uint32_t>(c - '0');
    if (c >= 'a' && c <= 'z') digit = static_cast<std::uint32_t>(c - 'a' + 10);
    if (c >= 'A' && c <= 'Z') digit = static_cast<std::uint32_t>(c - 'A' + 10);
    if (digit >= base) break;
    total = total * base + digit;
  }
  return static_cast<std::int32_t>(negative ? 0u - total : total);
}

// Copies `text` into `buffer` at `at` as lstrcpyn does with room for `room`
// characters and the NUL; returns the characters taken, NUL included.
std::size_t CopyInto(std::u16string& buffer, std::size_t at, std::string_view text,
                     std::size_t room) {
  const std::u16string units = Utf16FromUtf8(text).substr(0, room - 1);
  std::copy(units.begin(), units.end(), buffer.begin() + static_cast<std::ptrdiff_t>(at));
  buffer[at + units.size()] = u'\0';
  return units.size() + 1;
}

// GetPrivateProfileString's answer from a file's text, or from the default
// when there is no text or no such entry.
std::string Lookup(const std::optional<ProfileContents>& contents, std::string_view section,
                   std::string_view entry, std::string_view defaultText, std::uint32_t capacity) {
  if (capacity == 0) return {};
  const std::string* value = contents && !TrimProfileBlanks(entry).empty()
                                 ? contents->Find(section, entry)
                                 : nullptr;
  return CopyEntry(value ? std::string_view(*value) : WithoutTrailingSpaces(defaultText),
                   capacity);
}

}  // namespace

std::optional<ProfileContents> SimProfileFiles::ContentsFor(std::string_view operation,
                                                            std::string_view file) const {
  if (faults_.Next(operation, file)) return std::nullopt;
  const std::optional<std::string> bytes = files_.Contents(file);
  if (!bytes) return std::nullopt;
  return ProfileContents::Parse(*bytes);
}

std::uint32_t SimProfileFiles::ReadString(std::string_view file, std::string_view section,
                                          std::string_view entry, std::string_view defaultText,
                                          std::uint32_t capacity, std::string& text) {
  text = Lookup(ContentsFor("ProfileFiles.ReadString", file), section, entry, defaultText,
                capacity);
  return static_cast<std::uint32_t>(Utf16FromUtf8(text).size());
}

std::int32_t SimProfileFiles::ReadInt(std::string_view file, std::string_view section,
                                      std::string_view entry, std::int32_t defaultValue) {
  const std::string text =
      Lookup(ContentsFor("ProfileFiles.ReadInt", file), section, entry, {}, kIntTextCapacity);
  return text.empty() ? defaultValue : ParseProfileInt(text);
}

// Entries go in whole while they fit; the one that does not is cut, and the
// list then ends with two NULs and reports the capacity less two. Comments
// (";") and nameless lines are left out; values come as written.
std::uint32_t SimProfileFiles::ReadSection(std::string_view file, std::string_view section,
                                           std::string& buffer) {
  const std::optional<ProfileContents> contents = ContentsFor("ProfileFiles.ReadSection", file);
  std::u16string units = Utf16FromUtf8(buffer);
  const std::size_t capacity = units.size();
  const ProfileContents::Section* found = contents ? contents->FindSection(section) : nullptr;
  if (!found || capacity < 2) {
    std::fill_n(units.begin(), std::min<std::size_t>(capacity, 2), u'\0');
    buffer = Utf8FromUtf16(units);
    return 0;
  }

  std::size_t at = 0;
  std::size_t left = capacity;
  for (const ProfileContents::Entry& entry : found->entries) {
    if (left <= 2) break;
    if (entry.name.empty() || entry.name.front() == ';') continue;
    std::size_t taken = CopyInto(units, at, entry.name, left - 1);
    at += taken;
    left -= taken;
    if (left < 2) break;
    if (entry.value) {
      units[at - 1] = u'=';
      taken = CopyInto(units, at, *entry.value, left - 1);
      at += taken;
      left -= taken;
    }
  }
  units[at] = u'\0';
  std::uint32_t written = static_cast<std::uint32_t>(capacity - left);
  if (left <= 1) {
    units[at - 1] = u'\0';
    written = static_cast<std::uint32_t>(capacity - 2);
  }
  buffer = Utf8FromUtf16(units);
  return written;
}

// A missing file is made (in an existing folder); a read-only file or a
// folder cannot be written. Nothing is written when nothing changes.
bool SimProfileFiles::WriteString(std::string_view file, std::string_view section,
                                  std::string_view entry, std::optional<std::string_view> text) {
  if (faults_.Next("ProfileFiles.WriteString", file)) return false;
  const std::optional<std::uint32_t> attributes = files_.Attributes(file);
  if (attributes && (*attributes & (file_attribute::kDirectory | file_attribute::kReadOnly))) {
    return false;
  }
  if (!attributes && !files_.FolderExists(ParentFolder(file))) return false;

  const std::optional<std::string> bytes = files_.Contents(file);
  ProfileContents contents = ProfileContents::Parse(bytes.value_or(""));
  const bool changed = text ? contents.Set(section, entry, TrimLeadingProfileBlanks(*text))
                            : contents.Remove(section, entry);
  if (changed) {
    files_.WriteFile(file, contents.Serialize(), attributes.value_or(0) & ~file_attribute::kNormal);
  }
  return true;
}

}  // namespace foxbane::sim
