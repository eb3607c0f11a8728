#pragma once

#include <cstdint>
#include <optional>
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
    kDetected,  // a file the session's scan detected: what its file records may name
  };

  Kind kind = Kind::kFile;
  std::string path;  // files, folders and detected files
  std::string stored;
  std::uint64_t size = 0;
  std::string digest;  // SHA-256 of a kept file's bytes, in hexadecimal
  RegKey root = 0;  // registry records
  RegView view = reg_view::kDefault;
  std::string keyPath;
  std::string valueName;
  std::uint32_t type = 0;
  std::string data;

  friend bool operator==(const JournalRecord&, const JournalRecord&) = default;
};

// The first line of every journal (before its seal, see JournalSeal).
inline constexpr std::string_view kJournalHeader = "Foxbane quarantine journal 2";

// One record as one line of printable ASCII, without its LF: fields apart by
// tabs, texts with "%XX" for every byte that is not printable ASCII (and for
// "%" itself), data as hexadecimal.
std::string EncodeRecord(const JournalRecord& record);
// The record of such a line; none when it does not read as one.
std::optional<JournalRecord> DecodeRecord(std::string_view line);

// The lines of a text that end with LF, each without its LF or CR: a last
// line without its LF was cut while being written and is left out.
std::vector<std::string_view> CompleteLines(std::string_view text);

// SHA-256 over the bytes, in hexadecimal: what a kept file is checked
// against when it is put back.
std::string Digest(std::string_view bytes);

}  // namespace foxbane
