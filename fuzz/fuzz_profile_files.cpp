// The sim's profile-file functions over a file of random bytes: a string
// read cut to a random buffer, a number read, a section listing into a
// random buffer, then one write or removal, with what must hold whatever the
// file holds.
//
// Input: a flags byte (bit 0: the file is read-only, bit 1: hidden, bit 2:
// there is no file, bit 3: remove the entry instead of writing it, bit 4: the
// write is made to fail, bit 5: list into the program's 8192 characters),
// then as chunks (see FuzzInput::Chunk) the section, the entry, the value, a
// second section and entry to watch, then a capacity byte, a listing size
// byte, and the rest as the file's bytes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/utf.h"
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "ports/file_system.h"
#include "sim/faults.h"
#include "sim/profile_contents.h"
#include "sim/sim_file_system.h"
#include "sim/sim_profile_files.h"

namespace {

using namespace foxbane;
using foxbane::fuzz::Check;
using foxbane::fuzz::FuzzInput;

constexpr std::string_view kFile = "C:\\Fuzz\\test.ini";
constexpr std::string_view kAbsent = "<absent>";
constexpr std::size_t kProgramListingSize = 8192;
constexpr char16_t kUntouched = u'#';

struct Request {
  bool readOnly = false;
  bool hidden = false;
  bool noFile = false;
  bool remove = false;
  bool writeFails = false;
  std::string section;
  std::string entry;
  std::string value;
  std::string watchedSection;
  std::string watchedEntry;
  std::uint32_t capacity = 0;
  std::size_t listingSize = 0;
  std::string file;
};

Request Describe(FuzzInput& input) {
  Request request;
  const std::uint8_t flags = input.Byte();
  request.readOnly = flags & 1;
  request.hidden = flags & 2;
  request.noFile = flags & 4;
  request.remove = flags & 8;
  request.writeFails = flags & 16;
  request.section = input.Chunk();
  request.entry = input.Chunk();
  request.value = input.Chunk();
  request.watchedSection = input.Chunk();
  request.watchedEntry = input.Chunk();
  request.capacity = input.Byte();
  request.listingSize = (flags & 32) ? kProgramListingSize : input.Byte();
  request.file = std::string(input.Rest());
  return request;
}

bool IsValidUtf8(std::string_view text) { return Utf8FromUtf16(Utf16FromUtf8(text)) == text; }

// A value as a string read gives it: matching quotes around it taken off.
std::string_view WithoutQuotes(std::string_view value) {
  const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                      value.back() == value.front();
  return quoted ? value.substr(1, value.size() - 2) : value;
}

// A section, entry and value that a profile file can carry unchanged: one
// line each, no blanks around the value, no quotes around it (a read takes
// them off), an entry name that is neither empty nor a section header.
bool SurvivesTheFile(std::string_view section, std::string_view entry, std::string_view value) {
  const std::string_view name = sim::TrimProfileBlanks(entry);
  const bool quoted = WithoutQuotes(value).size() != value.size();
  return section.find('\n') == std::string_view::npos && !name.empty() && name.front() != '[' &&
         entry.find_first_of("=\n") == std::string_view::npos && IsValidUtf8(value) &&
         value.find_first_of("\r\n") == std::string_view::npos &&
         sim::TrimProfileBlanks(value) == value && !quoted;
}

bool SameEntry(std::string_view sectionA, std::string_view entryA, std::string_view sectionB,
               std::string_view entryB) {
  return sim::EqualsNoCase(sim::TrimProfileBlanks(sectionA), sim::TrimProfileBlanks(sectionB)) &&
         sim::EqualsNoCase(sim::TrimProfileBlanks(entryA), sim::TrimProfileBlanks(entryB));
}

std::size_t Utf16Units(std::string_view utf8) { return Utf16FromUtf8(utf8).size(); }

class Machine {
 public:
  explicit Machine(const Request& request) {
    if (request.noFile) {
      files.MakeFolder("C:\\Fuzz");
    } else {
      files.WriteFile(kFile, request.file,
                      (request.readOnly ? file_attribute::kReadOnly : 0u) |
                          (request.hidden ? file_attribute::kHidden : 0u));
    }
  }

  // The whole text of an entry, or kAbsent: the buffer has room for anything
  // the file holds.
  std::string ReadWhole(std::string_view section, std::string_view entry) {
    const auto capacity =
        static_cast<std::uint32_t>(files.Contents(kFile).value_or("").size() + kAbsent.size() + 2);
    std::string text;
    profiles.ReadString(kFile, section, entry, kAbsent, capacity, text);
    return text;
  }

  sim::Faults faults;
  sim::SimFileSystem files{faults};
  sim::SimProfileFiles profiles{faults, files};
};

// A read into a smaller buffer gives the start of the whole text. A
// surrogate pair cut in two leaves U+FFFD for its first half.
void CheckCutRead(Machine& machine, const Request& request) {
  std::string text = "garbage";
  const std::uint32_t count = machine.profiles.ReadString(kFile, request.section, request.entry,
                                                          kAbsent, request.capacity, text);
  Check(count == Utf16Units(text), "ReadString counts the characters it copied");
  Check(count + 1 <= request.capacity || (count == 0 && text.empty()),
        "ReadString leaves room for the NUL and copies nothing into no room");

  const std::string whole = machine.ReadWhole(request.section, request.entry);
  constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
  const bool prefix = whole.starts_with(text);
  const std::string_view kept =
      std::string_view(text).substr(0, text.size() - std::min(text.size(), kReplacement.size()));
  const bool cutPair = text.ends_with(kReplacement) && whole.starts_with(kept) &&
                       whole.size() > kept.size() &&
                       static_cast<unsigned char>(whole[kept.size()]) >= 0xF0;
  Check(prefix || cutPair, "a cut read gives the start of the whole text");
}

// A number read gives the default where there is no text, and plain decimal
// digits as their number.
void CheckNumberRead(Machine& machine, const Request& request) {
  constexpr std::int32_t kDefault = 7;
  std::string text;
  machine.profiles.ReadString(kFile, request.section, request.entry, {}, 30, text);
  const std::int32_t number =
      machine.profiles.ReadInt(kFile, request.section, request.entry, kDefault);
  if (text.empty()) Check(number == kDefault, "ReadInt gives the default for an empty text");
  if (!text.empty() && text.size() <= 9 &&
      text.find_first_not_of("0123456789") == std::string::npos) {
    Check(number == std::stoi(text), "ReadInt reads decimal digits");
  }
}

// A whole listing names the same entries that string reads find: each name's
// first entry reads as its listed value, and a name listed without "=" reads
// as absent. Left out: files holding a NUL, which would split a value, and
// files that are not UTF-8, whose names the listing cannot give back byte for
// byte; section names with blanks around them, which only a string read
// ignores.
void CheckListingAgreesWithReads(Machine& machine, const Request& request,
                                 std::u16string_view listed) {
  if (request.file.find('\0') != std::string::npos || !IsValidUtf8(request.file) ||
      sim::TrimProfileBlanks(request.section) != request.section) {
    return;
  }
  std::vector<std::string> seen;
  while (!listed.empty()) {
    const std::string line = Utf8FromUtf16(listed.substr(0, listed.find(u'\0')));
    listed.remove_prefix(std::min(listed.size(), listed.find(u'\0') + 1));
    const std::size_t equals = line.find('=');
    const std::string name = line.substr(0, equals);
    if (std::any_of(seen.begin(), seen.end(),
                    [&](const std::string& other) { return sim::EqualsNoCase(other, name); })) {
      continue;
    }
    seen.push_back(name);
    const std::string_view expected =
        equals == std::string::npos ? kAbsent
                                    : WithoutQuotes(std::string_view(line).substr(equals + 1));
    Check(machine.ReadWhole(request.section, name) == expected,
          "each entry listed reads back as listed");
  }
}

// The list ends in NULs within the buffer and the rest of it is left as it was.
void CheckListing(Machine& machine, const Request& request) {
  std::string buffer(request.listingSize, static_cast<char>(kUntouched));
  const std::uint32_t count = machine.profiles.ReadSection(kFile, request.section, buffer);
  const std::u16string units = Utf16FromUtf8(buffer);
  Check(units.size() == request.listingSize, "ReadSection keeps the buffer's size");
  if (units.size() < 2) {
    Check(count == 0, "a buffer too small for two NULs lists nothing");
    return;
  }
  Check(count <= units.size() - 2, "ReadSection leaves room for two NULs");
  Check(units[count] == u'\0', "the list ends with a NUL at the count");
  for (std::size_t i = count + 2; i < units.size(); ++i) {
    Check(units[i] == kUntouched, "ReadSection leaves the buffer past the list alone");
  }
  Check(count + 1 == units.size() || units[count + 1] == u'\0' || units[count + 1] == kUntouched,
        "nothing but the closing NUL follows the count");
  // Shorter than the buffer less two, the list is whole.
  if (count + 2 < units.size()) {
    CheckListingAgreesWithReads(machine, request, std::u16string_view(units).substr(0, count));
  }
}

// A write that cannot happen changes nothing; one that does keeps the file's
// attributes and every other entry's text, and reads back as written.
void CheckWrite(Machine& machine, const Request& request) {
  const std::optional<std::string> before = machine.files.Contents(kFile);
  const std::optional<std::uint32_t> attributesBefore = machine.files.Attributes(kFile);
  const std::string watchedBefore = machine.ReadWhole(request.watchedSection, request.watchedEntry);
  if (request.writeFails) machine.faults.Fail("ProfileFiles.WriteString", win_error::kAccessDenied);

  const std::optional<std::string_view> text =
      request.remove ? std::nullopt : std::optional<std::string_view>(request.value);
  const bool written = machine.profiles.WriteString(kFile, request.section, request.entry, text);
  if (request.writeFails || (request.readOnly && !request.noFile)) {
    Check(!written, "a write to a read-only file, or one made to fail, reports failure");
    Check(machine.files.Contents(kFile) == before, "a failed write leaves the file as it was");
    return;
  }
  Check(written, "a write to a writable file succeeds");
  if (!request.noFile) {
    Check(machine.files.Attributes(kFile) == attributesBefore, "a write keeps the attributes");
  }
  // A line break in what is written starts new lines, as it does on Windows,
  // and those may put a section of the same name ahead of the watched one.
  const bool oneLine =
      (request.section + request.entry + request.value).find('\n') == std::string::npos;
  if (oneLine && watchedBefore != kAbsent &&
      !SameEntry(request.section, request.entry, request.watchedSection, request.watchedEntry)) {
    Check(machine.ReadWhole(request.watchedSection, request.watchedEntry) == watchedBefore,
          "a write leaves the text of every other entry alone");
  }
  if (request.remove || !SurvivesTheFile(request.section, request.entry, request.value)) return;

  Check(machine.ReadWhole(request.section, request.entry) == request.value,
        "a value written reads back as written");
  const std::optional<std::string> once = machine.files.Contents(kFile);
  Check(machine.profiles.WriteString(kFile, request.section, request.entry, request.value) &&
            machine.files.Contents(kFile) == once,
        "writing the same value again leaves the file alone");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const Request request = Describe(input);
  Machine machine(request);
  CheckCutRead(machine, request);
  CheckNumberRead(machine, request);
  CheckListing(machine, request);
  CheckWrite(machine, request);
  return 0;
}
