#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cleanup/journal.h"
#include "cleanup/journal_seal.h"
#include "cleanup/trusted_folder.h"
#include "ports/environment.h"
#include "ports/file_system.h"
#include "ports/registry.h"
#include "ports/user_messages.h"

namespace foxbane {

// Puts back what a cleanup session kept in the quarantine: every file,
// folder, key and value as it was, and every value and key the cleanup made
// taken away again. A thing that is there again (the adware came back) is
// replaced by what was kept, so that the result is what was there before.
//
// It runs as an administrator and trusts only what Foxbane wrote: a
// quarantine folder that anyone else could change is not read at all, and a
// session is refused whole when its journal's seal does not hold or a record
// names a place no cleanup changes.
class Restore {
 public:
  Restore(FileSystem& files, Registry& registry, Environment& environment)
      : files_(files), registry_(registry), environment_(environment), folder_(files, environment) {}

  // The quarantine's folder, and whether anything is there at all.
  std::string Folder() { return TrustedFolder::Path(environment_); }
  bool QuarantineExists();
  // Whether the folder and its key are Foxbane's own (see TrustedFolder).
  bool Trusted();

  // Sessions not yet put back, the newest first.
  std::vector<std::string> PendingSessions();
  // Sessions listed in the quarantine whose journals are refused.
  std::vector<std::string> RefusedSessions();

  // The records of a session's journal; none when it is refused.
  std::optional<std::vector<JournalRecord>> Records(const std::string& session);

  // Puts the session back, the last change first. Returns how many records
  // could not be put back; when none, the session is marked as done. -1
  // when the session is refused.
  int PutBack(const std::string& session);

 private:
  std::vector<std::string> ListedSessions();
  std::optional<std::vector<JournalRecord>> Read(const std::string& session, JournalSeal& seal);
  bool PutBackRecord(const std::string& session, const JournalRecord& record);
  bool PutBackFile(const std::string& session, const JournalRecord& record);
  bool MakeFolders(const std::string& path);

  FileSystem& files_;
  Registry& registry_;
  Environment& environment_;
  TrustedFolder folder_;
  std::optional<std::string> key_;  // once the folder and the key are checked
};

// What the user sees: each session not yet put back, the newest first, is
// offered with a question; a Yes puts it back and says how that went. A
// session or a quarantine that is refused is told of, once.
void OfferRestore(Restore& restore, UserMessages& messages);

}  // namespace foxbane
