#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cleanup/journal.h"
#include "cleanup/journal_seal.h"
#include "cleanup/trusted_folder.h"
#include "ports/clock.h"
#include "ports/environment.h"
#include "ports/file_system.h"
#include "ports/registry.h"

namespace foxbane {

// Keeps everything one cleanup removes, so that it can all be put back: the
// trusted folder (TrustedFolder), with one folder per session holding the
// removed files (scrambled, under numbers, so that they cannot run) and a
// sealed journal of what was where, led by the files the scan detected.
// Each record is on the disk before the change it describes is made.
//
// What a Save call found. Only what was kept may be removed: a thing that is
// not there is left alone too, so that one the system wrongly reported
// missing is never removed unkept.
enum class Keeping { kKept, kNothingThere, kNotKept };

// Every Save call comes just before a removal.
class Quarantine {
 public:
  // `detected`: the files the session's scan detected.
  Quarantine(FileSystem& files, Registry& registry, Environment& environment, Clock& clock,
             std::vector<std::string> detected)
      : files_(files),
        registry_(registry),
        environment_(environment),
        clock_(clock),
        folder_(files, environment),
        detected_(std::move(detected)) {}
  Quarantine(const Quarantine&) = delete;
  Quarantine& operator=(const Quarantine&) = delete;

  // The file at `path`, from the item opened on it for its removal.
  Keeping SaveFile(std::string_view path, FileItem& item);
  // An empty folder about to be removed.
  Keeping SaveFolder(std::string_view path);
  // A value about to be deleted.
  Keeping SaveValue(RegKey root, std::string_view keyPath, std::string_view name, RegView view);
  // A key about to be deleted: it and its values (its subkeys go first, each
  // saved on its own).
  Keeping SaveKey(RegKey root, std::string_view keyPath, RegView view);
  // A value about to be written: what it held, or that it and any key on its
  // path were not there. The write goes ahead either way, so a failure here
  // leaves nothing in place and does not count towards Failed().
  Keeping SaveBeforeWrite(RegKey root, std::string_view keyPath, std::string_view name, RegView view);

  // True once something could not be kept (and so was left in place).
  bool Failed() const { return failed_; }
  // True when that was because the quarantine's folder could be changed by
  // someone other than an administrator (or was not a folder at all).
  bool Untrusted() const { return untrusted_; }

  // The folder that holds every session.
  static std::string Folder(Environment& environment);
  // The index's name in that folder.
  static constexpr std::string_view kIndexName = "sessions.txt";

 private:
  bool Begin();
  bool BeginIn(const std::string& key);
  bool Append(const std::vector<JournalRecord>& records);
  // Appends to a file of the quarantine and checks it afterwards.
  bool AppendChecked(const std::string& relative, std::string_view lines);
  // Begins the session if need be and appends the records.
  Keeping Keep(const std::vector<JournalRecord>& records);
  bool ReadValue(RegKey key, std::string_view name, std::uint32_t& type, std::string& data);
  // A key or value is taken to be missing only when its parent lists no such
  // name: a write over one wrongly reported missing would lose it.
  bool ConfirmedMissing(RegKey root, std::string_view keyPath, RegView view);
  bool ConfirmedNoValue(RegKey key, std::string_view name);
  Keeping KeepBeforeWrite(RegKey root, std::string_view keyPath, std::string_view name,
                          RegView view);
  Keeping Fail() {
    failed_ = true;
    return Keeping::kNotKept;
  }

  FileSystem& files_;
  Registry& registry_;
  Environment& environment_;
  Clock& clock_;
  TrustedFolder folder_;
  std::vector<std::string> detected_;
  std::optional<JournalSeal> seal_;
  std::string session_;  // the session's name, once begun
  bool unusable_ = false;
  bool untrusted_ = false;
  bool failed_ = false;
  int nextFile_ = 1;
};

// What a kept file looks like in the quarantine: every byte changed, so that
// nothing will take it for a program. Applied again, it gives the file back.
std::string Scrambled(std::string_view bytes);

}  // namespace foxbane
