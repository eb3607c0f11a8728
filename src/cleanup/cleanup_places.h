#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cleanup/journal.h"
#include "cleanup/removal_guards.h"

namespace foxbane {

// The places a cleanup may change, for the restore to hold a journal to:
// the startup values, the fixed remnants and kill bits, and what the
// session's own scan detected (its files, their folders below the program
// folders, their uninstall entries). A record naming anything else was not
// written by a cleanup, whatever its seal says.
class CleanupPlaces {
 public:
  // `records` is the whole journal; its kDetected records are the scan's,
  // and come first: the cleanup writes them as it begins the session.
  CleanupPlaces(RemovalGuards& guards, const std::vector<JournalRecord>& records);

  bool Allows(const JournalRecord& record);

 private:
  bool IsDetectedFile(std::string_view path) const;
  bool IsDetectedFolder(std::string_view path);
  bool IsRemovedKey(RegKey root, std::string_view keyPath) const;
  bool IsChangedValue(RegKey root, std::string_view keyPath, std::string_view name) const;
  bool IsKillBitValue(RegKey root, std::string_view keyPath, std::string_view name) const;
  bool IsKillBitKey(RegKey root, std::string_view keyPath) const;

  RemovalGuards& guards_;
  std::vector<std::string> detected_;
  bool detectedInOrder_ = true;
};

}  // namespace foxbane
