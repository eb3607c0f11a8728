#include "cleanup/restore.h"

#include <algorithm>
#include <memory>

#include "cleanup/cleanup_places.h"
#include "cleanup/quarantine.h"
#include "cleanup/removal.h"
#include "fileops/whole_file.h"
#include "registry/scoped_reg_key.h"

namespace foxbane {

namespace {

using Kind = JournalRecord::Kind;

bool Succeeded(ErrorCode code, std::initializer_list<ErrorCode> alsoFine = {}) {
  return code == win_error::kSuccess ||
         std::find(alsoFine.begin(), alsoFine.end(), code) != alsoFine.end();
}

// A name as the cleanup gives its sessions ("2004-03-27 14.05.09 (2)"):
// nothing in it can lead out of the quarantine.
bool IsSessionName(std::string_view name) {
  return !name.empty() && name.find("..") == std::string_view::npos &&
         std::all_of(name.begin(), name.end(), [](char c) {
           return (c >= '0' && c <= '9') ||
                  std::string_view("-. ()").find(c) != std::string_view::npos;
         });
}

std::string JournalOf(const std::string& session) { return session + "\\journal.txt"; }

}  // namespace

bool Restore::QuarantineExists() {
  std::uint32_t attributes = 0;
  return files_.ReadAttributes(Quarantine::Folder(environment_), attributes) == win_error::kSuccess;
}

bool Restore::Trusted() {
  if (!key_) {
    std::string key;
    if (folder_.Open(false) == win_error::kSuccess && folder_.JournalKey(false, key)) {
      key_ = std::move(key);
    }
  }
  return key_.has_value();
}

std::vector<std::string> Restore::ListedSessions() {
  std::string index;
  if (!Trusted() || folder_.ReadInside(Quarantine::kIndexName, index)) return {};
  std::vector<std::string> sessions;
  for (const std::string_view line : CompleteLines(index)) {
    const std::string session(line);
    if (IsSessionName(session) &&
        std::find(sessions.begin(), sessions.end(), session) == sessions.end()) {
      sessions.push_back(session);
    }
  }
  std::reverse(sessions.begin(), sessions.end());
  return sessions;
}

std::vector<std::string> Restore::PendingSessions() {
  std::vector<std::string> pending;
  for (const std::string& session : ListedSessions()) {
    const auto records = Records(session);
    if (records && !records->empty() && records->back().kind != Kind::kRestored) {
      pending.push_back(session);
    }
  }
  return pending;
}

std::vector<std::string> Restore::RefusedSessions() {
  std::vector<std::string> refused;
  for (const std::string& session : ListedSessions()) {
    if (!Records(session)) refused.push_back(session);
  }
  return refused;
}

std::optional<std::vector<JournalRecord>> Restore::Records(const std::string& session) {
  if (!Trusted()) return std::nullopt;
  JournalSeal seal(*key_, session);
  return Read(session, seal);
}

// The journal as sealed, every record in a place a cleanup changes; `seal`
// is left ready to seal the next line.
std::optional<std::vector<JournalRecord>> Restore::Read(const std::string& session,
                                                        JournalSeal& seal) {
  std::string journal;
  if (folder_.ReadInside(JournalOf(session), journal)) return std::nullopt;
  auto records = seal.Read(journal);
  if (!records) return std::nullopt;
  RemovalGuards guards(files_, environment_);
  CleanupPlaces places(guards, *records);
  const bool allowed =
      std::all_of(records->begin(), records->end(),
                  [&](const JournalRecord& record) { return places.Allows(record); });
  if (!allowed) return std::nullopt;
  return records;
}

int Restore::PutBack(const std::string& session) {
  if (!Trusted() || !IsSessionName(session)) return -1;
  JournalSeal seal(*key_, session);
  const auto records = Read(session, seal);
  if (!records) return -1;
  int failed = 0;
  for (auto record = records->rbegin(); record != records->rend(); ++record) {
    if (!PutBackRecord(session, *record)) ++failed;
  }
  if (failed == 0) {
    JournalRecord done;
    done.kind = Kind::kRestored;
    AppendLines(files_, Quarantine::Folder(environment_) + "\\" + JournalOf(session),
                seal.Line(done));
  }
  return failed;
}

bool Restore::PutBackRecord(const std::string& session, const JournalRecord& record) {
  ScopedRegKey key(registry_);
  switch (record.kind) {
    case Kind::kFile:
      return PutBackFile(session, record);
    case Kind::kFolder:
      return MakeFolders(record.path);
    case Kind::kKey:
      return Succeeded(
          key.Create(record.root, record.keyPath, reg_access::kQueryValue | record.view));
    case Kind::kValue:
      return Succeeded(
                 key.Create(record.root, record.keyPath, reg_access::kSetValue | record.view)) &&
             Succeeded(registry_.SetValue(key.get(), record.valueName, record.type, record.data));
    case Kind::kNoValue: {
      const ErrorCode opened =
          key.Open(record.root, record.keyPath, reg_access::kSetValue | record.view);
      if (opened != win_error::kSuccess) return opened == win_error::kFileNotFound;
      return Succeeded(registry_.DeleteValue(key.get(), record.valueName),
                       {win_error::kFileNotFound});
    }
    case Kind::kNewKey:
      return Succeeded(registry_.DeleteKey(record.root, record.keyPath, record.view),
                       {win_error::kFileNotFound});
    case Kind::kRestored:
    case Kind::kDetected:
      return true;
  }
  return false;
}

// The kept copy must be the very file that was removed; whatever is at its
// place now gives way to it. Its folder, and what is there, are taken only
// as opened on themselves and really where the record says (a folder of the
// user's swapped for a link would lead elsewhere).
bool Restore::PutBackFile(const std::string& session, const JournalRecord& record) {
  std::string scrambled;
  if (folder_.ReadInside(session + "\\" + record.stored, scrambled)) return false;
  const std::string bytes = Scrambled(scrambled);
  if (bytes.size() != record.size || Digest(bytes) != record.digest) return false;
  const std::size_t separator = record.path.rfind('\\');
  if (separator == std::string::npos) return false;
  const std::string parent = record.path.substr(0, separator);
  const auto parentChecked = [&] {
    std::unique_ptr<FileItem> item;
    ItemFacts facts;
    return OpenChecked(files_, parent, true, ItemAccess::kInspect, item, facts) ==
           win_error::kSuccess;
  };
  if (!MakeFolders(parent) || !parentChecked()) return false;
  std::unique_ptr<FileItem> current;
  const ErrorCode opened =
      OpenForRemoval(files_, record.path, false, nullptr, ItemAccess::kRead, current);
  if (opened == win_error::kSuccess) {
    std::string there;
    if (ReadToEnd(*current, there) == win_error::kSuccess && there == bytes) return true;
    current.reset();
    files_.ResetAttributes(record.path);
    if (OpenForRemoval(files_, record.path, false, nullptr, ItemAccess::kRemove, current) ||
        !RemoveThrough(files_, current, record.path)) {
      return false;
    }
  } else if (opened != win_error::kFileNotFound) {
    return false;
  }
  return WriteNewFile(files_, record.path, bytes) == win_error::kSuccess && parentChecked();
}

// The folder and any of its parents that are missing.
bool Restore::MakeFolders(const std::string& path) {
  std::uint32_t attributes = 0;
  if (files_.ReadAttributes(path, attributes) == win_error::kSuccess) {
    return (attributes & file_attribute::kDirectory) != 0;
  }
  const std::size_t separator = path.rfind('\\');
  if (separator != std::string::npos && separator > 2 && !MakeFolders(path.substr(0, separator))) {
    return false;
  }
  return Succeeded(files_.CreateFolder(path), {win_error::kAlreadyExists});
}

void OfferRestore(Restore& restore, UserMessages& messages) {
  if (restore.QuarantineExists() && !restore.Trusted()) {
    messages.ShowModal(
        "Foxbane will not put anything back: programs that do not run as an administrator could "
        "have changed its quarantine folder, " +
        restore.Folder() + ", so nothing in it can be trusted.");
    return;
  }
  const auto refused = [](const std::string& session) {
    return "Foxbane will not put back what it removed in its cleanup of " + session +
           ": the record of that cleanup has been changed since Foxbane wrote it, or names "
           "things that a cleanup never removes.";
  };
  for (const std::string& session : restore.RefusedSessions()) messages.ShowModal(refused(session));
  const std::vector<std::string> sessions = restore.PendingSessions();
  if (sessions.empty()) {
    messages.ShowModal(
        "There is nothing to put back: Foxbane has removed nothing from this computer, or all "
        "of it has been put back already.");
    return;
  }
  for (const std::string& session : sessions) {
    const std::vector<JournalRecord> records =
        restore.Records(session).value_or(std::vector<JournalRecord>{});
    const auto files = std::count_if(records.begin(), records.end(),
                                     [](const JournalRecord& r) { return r.kind == Kind::kFile; });
    const std::string question =
        "Put back what Foxbane removed in its cleanup of " + session + "?\n\n" +
        std::to_string(files) + (files == 1 ? " file" : " files") +
        " and the registry entries it removed will be as they were before, the adware's "
        "included. Run Foxbane again to remove them.";
    if (!messages.Ask(question)) continue;
    const int failed = restore.PutBack(session);
    messages.ShowModal(failed < 0 ? refused(session)
                       : failed == 0
                           ? "Everything Foxbane removed in its cleanup of " + session +
                                 " has been put back."
                           : "Foxbane could not put back " + std::to_string(failed) +
                                 " of the things it removed in its cleanup of " + session +
                                 ". Close any program that may be using them, and try "
                                 "again.");
  }
}

}  // namespace foxbane
