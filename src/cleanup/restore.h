#pragma once

#include <string>
#include <vector>

#include "cleanup/journal.h"
#include "ports/environment.h"
#include "ports/file_system.h"
#include "ports/registry.h"
#include "ports/user_messages.h"

namespace foxbane {

// Puts back what a cleanup session kept in the quarantine: every file,
// folder, key and value as it was, and every value and key the cleanup made
// taken away again. A thing that is there again (the adware came back) is
// replaced by what was kept, so that the result is what was there before.
class Restore {
 public:
  Restore(FileSystem& files, Registry& registry, Environment& environment)
      : files_(files), registry_(registry), environment_(environment) {}

  // Sessions not yet put back, the newest first.
  std::vector<std::string> PendingSessions();

  // The records of a session's journal.
  std::vector<JournalRecord> Records(const std::string& session);

  // Puts the session back, the last change first. Returns how many records
  // could not be put back; when none, the session is marked as done.
  int PutBack(const std::string& session);

 private:
  bool PutBackRecord(const std::string& sessionFolder, const JournalRecord& record);
  bool PutBackFile(const std::string& sessionFolder, const JournalRecord& record);
  bool MakeFolders(const std::string& path);

  FileSystem& files_;
  Registry& registry_;
  Environment& environment_;
};

// What the user sees: each session not yet put back, the newest first, is
// offered with a question; a Yes puts it back and says how that went.
void OfferRestore(Restore& restore, UserMessages& messages);

}  // namespace foxbane
