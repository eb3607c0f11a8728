#include "cleanup/restore.h"

#include <algorithm>
#include <memory>

#include "cleanup/quarantine.h"
#include "fileops/whole_file.h"
#include "registry/scoped_reg_key.h"

namespace foxbane {

namespace {

using Kind = JournalRecord::Kind;

bool Succeeded(ErrorCode code, std::initializer_list<ErrorCode> alsoFine = {}) {
  return code == win_error::kSuccess ||
         std::find(alsoFine.begin(), alsoFine.end(), code) != alsoFine.end();
}

}  // namespace

std::vector<std::string> Restore::PendingSessions() {
  std::string index;
  ReadWholeFile(files_, Quarantine::IndexPath(environment_), index);
  std::vector<std::string> pending;
  for (const std::string_view line : CompleteLines(index)) {
    const std::string session(line);
    if (session.empty()) continue;
    const std::vector<JournalRecord> records = Records(session);
    if (!records.empty() && records.back().kind != Kind::kRestored) pending.push_back(session);
  }
  std::reverse(pending.begin(), pending.end());
  return pending;
}

std::vector<JournalRecord> Restore::Records(const std::string& session) {
  std::string journal;
  ReadWholeFile(files_, Quarantine::Folder(environment_) + "\\" + session + "\\journal.txt",
                journal);
  return DecodeJournal(journal);
}

int Restore::PutBack(const std::string& session) {
  const std::string folder = Quarantine::Folder(environment_) + "\\" + session;
  const std::vector<JournalRecord> records = Records(session);
  int failed = 0;
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    if (!PutBackRecord(folder, *record)) ++failed;
  }
  if (failed == 0) {
    JournalRecord done;
    done.kind = Kind::kRestored;
    AppendLines(files_, folder + "\\journal.txt", EncodeRecord(done));
  }
  return failed;
}

bool Restore::PutBackRecord(const std::string& sessionFolder, const JournalRecord& record) {
  ScopedRegKey key(registry_);
  switch (record.kind) {
    case Kind::kFile:
      return PutBackFile(sessionFolder, record);
    case Kind::kFolder:
      return MakeFolders(record.path);
    case Kind::kKey:
      return Succeeded(key.Create(record.root, record.keyPath, reg_access::kQueryValue | record.view));
    case Kind::kValue:
      return Succeeded(key.Create(record.root, record.keyPath, reg_access::kSetValue | record.view)) &&
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
      return true;
  }
  return false;
}

// The kept copy must be the very file that was removed; whatever is at its
// place now gives way to it.
bool Restore::PutBackFile(const std::string& sessionFolder, const JournalRecord& record) {
  std::string scrambled;
  if (ReadWholeFile(files_, sessionFolder + "\\" + record.stored, scrambled)) return false;
  const std::string bytes = Scrambled(scrambled);
  if (bytes.size() != record.size || Checksum(bytes) != record.checksum) return false;
  const std::size_t separator = record.path.rfind('\\');
  if (separator != std::string::npos && !MakeFolders(record.path.substr(0, separator))) return false;
  std::string current;
  if (ReadWholeFile(files_, record.path, current) == win_error::kSuccess) {
    if (current == bytes) return true;
    files_.ResetAttributes(record.path);
    if (files_.RemoveFile(record.path) != win_error::kSuccess) return false;
  }
  return WriteNewFile(files_, record.path, bytes) == win_error::kSuccess;
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
  const std::vector<std::string> sessions = restore.PendingSessions();
  if (sessions.empty()) {
    messages.ShowModal(
        "There is nothing to put back: Foxbane has removed nothing from this computer, or all "
        "of it has been put back already.");
    return;
  }
  for (const std::string& session : sessions) {
    const std::vector<JournalRecord> records = restore.Records(session);
    const auto files = std::count_if(records.begin(), records.end(),
                                     [](const JournalRecord& r) { return r.kind == Kind::kFile; });
    const std::string question =
        "Put back what Foxbane removed in its cleanup of " + session + "?\n\n" +
        std::to_string(files) + (files == 1 ? " file" : " files") +
        " and the registry entries it removed will be as they were before, the adware's "
        "included. Run Foxbane again to remove them.";
    if (!messages.Ask(question)) continue;
    const int failed = restore.PutBack(session);
    messages.ShowModal(failed == 0 ? "Everything Foxbane removed in its cleanup of " + session +
                                         " has been put back."
                                   : "Foxbane could not put back " + std::to_string(failed) +
                                         " of the things it removed in its cleanup of " +
                                         session +
                                         ". Close any program that may be using them, and try "
                                         "again.");
  }
}

}  // namespace foxbane
