#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cleanup/journal.h"

namespace foxbane {

// What shows that a journal is Foxbane's own, as written: every line ends in
// a tab and its seal, the HMAC-SHA-256 (in hexadecimal) under a key that
// only administrators can read, of the seal of the line before, a LF and
// the line itself; the header's seal covers the session's name instead. A
// line changed, moved, left out or taken from another session breaks it.
class JournalSeal {
 public:
  JournalSeal(std::string key, std::string_view session);

  // The first line of a new journal, LF included.
  std::string Header();
  // The next line, LF included, for `record`.
  std::string Line(const JournalRecord& record);

  // The records of a sealed journal, and the seal set to go on after its
  // last line. A last line without its LF (the program was stopped while
  // writing it) is left out, and so is a line without the whole of its seal
  // when nothing but the closing record of a restore follows it: one cut
  // short, with the restore's record appended after it. Any other line that
  // does not hold, or a header that does not, refuses the whole journal:
  // none.
  std::optional<std::vector<JournalRecord>> Read(std::string_view text);

 private:
  std::string Next(std::string_view text) const;

  std::string key_;
  std::string session_;
  std::string last_;  // the seal of the line before
};

}  // namespace foxbane
