#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ports/registry.h"

namespace foxbane {

// One thing the cleanup is about to change, written to the quarantine's
// journal before the change is made, with what it takes to put it back.
struct JournalRecord {
  enum class Kind {
    kFile,      // a file, kept in the quarantine as `stored`
    kFolder,    // an empty folder
    kKey,       // a registry key (its values follow as kValue records)
    kValue,     // a registry value with its type and bytes
    kNoValue,   // a value that was not there before Foxbane wrote it
    kNewKey,    // a key that was not there before Foxbane made it
    kRestored,  // the session has been put back
  };

  Kind kind = Kind::kFile;
  std::string path;  // files and folders
  std::string stored;
  std::uint64_t size = 0;
  std::uint64_t checksum = 0;
  RegKey root = 0;  // registry records
  RegView view = reg_view::kDefault;
  std::string keyPath;
  std::string valueName;
  std::uint32_t type = 0;
  std::string data;

  friend bool operator==(const JournalRecord&, const JournalRecord&) = default;
};

// The first line of every journal.
inline constexpr std::string_view kJournalHeader = "Foxbane quarantine journal 1";

// One record as one line of printable ASCII ended by LF: fields apart by
// tabs, texts with "%XX" for every byte that is not printable ASCII (and for
// "%" itself), data as hexadecimal.
std::string EncodeRecord(const JournalRecord& record);

// The records of a journal's text. A last line without its LF (the program
// was stopped while writing it) and any line that does not read as a record
// are left out: nothing was changed for them yet. Empty when the header is
// missing.
std::vector<JournalRecord> DecodeJournal(std::string_view text);

// The lines of a text that end with LF, each without its LF or CR: a last
// line without its LF was cut while being written and is left out.
std::vector<std::string_view> CompleteLines(std::string_view text);

// FNV-1a over the bytes: what a kept file is checked against when it is put back.
std::uint64_t Checksum(std::string_view bytes);

}  // namespace foxbane
