#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace foxbane::sim {

// The text of a profile (.ini) file as the Windows profile functions see it:
// sections of "name=value" lines, names compared without regard to case.
// Blanks around names and before values do not count, blank lines are
// dropped, and lines before the first section header form a section with no
// name. A line without "=" is an entry with no value.
class ProfileContents {
 public:
  struct Entry {
    std::string name;
    std::optional<std::string> value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };

  static ProfileContents Parse(std::string_view text);
  // One "[name]" line per named section and one line per entry, each ended
  // by CR LF, as the profile functions write a file back.
  std::string Serialize() const;

  // The value of an entry, found by names with their surrounding blanks
  // ignored; none for a missing entry or one without "=".
  const std::string* Find(std::string_view section, std::string_view entry) const;
  // The section of exactly this name (letter case aside), for listing.
  const Section* FindSection(std::string_view section) const;

  // Sets an entry's value, adding the section and the entry when missing.
  // Returns whether the text changed.
  bool Set(std::string_view section, std::string_view entry, std::string_view value);
  // Removes the first entry of exactly this name in a section of exactly this
  // name. Returns whether one was removed.
  bool Remove(std::string_view section, std::string_view entry);

 private:
  // The first section named `section` with its blanks ignored; the count
  // of sections when there is none.
  std::size_t IndexOfTrimmed(std::string_view section) const;

  std::vector<Section> sections_{Section{}};  // the first one has no name
};

// Blanks as the profile functions count them: white space, CR and ^Z.
std::string_view TrimProfileBlanks(std::string_view text);
std::string_view TrimLeadingProfileBlanks(std::string_view text);

}  // namespace foxbane::sim
