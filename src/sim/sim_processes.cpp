#include "sim/sim_processes.h"

#include <algorithm>
#include <map>
#include <stdexcept>

#include "common/utf.h"

namespace foxbane::sim {

namespace {

constexpr ErrorCode kNoMoreFiles = 18;
constexpr ErrorCode kInsufficientBuffer = 122;
constexpr ErrorCode kPartialCopy = 299;
constexpr ErrorCode kMessageNotFound = 317;
constexpr ErrorCode kCallNotImplemented = 120;
constexpr std::uint64_t kTenMilliseconds = 100'000;

std::string FileNamePart(const std::string& path) {
  const std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Allows(std::uint32_t granted, std::uint32_t needed) { return (granted & needed) == needed; }

// The system's English texts for the codes these calls give.
const std::map<ErrorCode, std::string>& MessageTexts() {
  static const std::map<ErrorCode, std::string> texts = {
      {2, "The system cannot find the file specified.\r\n"},
      {5, "Access is denied.\r\n"},
      {6, "The handle is invalid.\r\n"},
      {kNoMoreFiles, "There are no more files.\r\n"},
      {87, "The parameter is incorrect.\r\n"},
      {kInsufficientBuffer, "The data area passed to a system call is too small.\r\n"},
      {kPartialCopy,
       "Only part of a ReadProcessMemory or WriteProcessMemory request was completed.\r\n"},
  };
  return texts;
}

}  // namespace

// The entries as they were when the snapshot was taken.
class SimProcesses::Snapshot : public ProcessSnapshot {
 public:
  Snapshot(SimProcesses& owner, std::vector<ProcessEntry> entries)
      : owner_(owner), entries_(std::move(entries)) {
    ++owner_.openHandles_;
  }
  ~Snapshot() override { --owner_.openHandles_; }

  bool First(ProcessEntry& entry) override {
    if (const ErrorCode e = owner_.faults_.Next("Processes.First")) return owner_.Fail(e);
    next_ = 0;
    return Deliver(entry);
  }
  bool Next(ProcessEntry& entry) override {
    if (const ErrorCode e = owner_.faults_.Next("Processes.Next")) return owner_.Fail(e);
    return Deliver(entry);
  }

 private:
  bool Deliver(ProcessEntry& entry) {
    if (next_ >= entries_.size()) return owner_.Fail(kNoMoreFiles);
    entry = entries_[next_++];
    return true;
  }

  SimProcesses& owner_;
  std::vector<ProcessEntry> entries_;
  std::size_t next_ = 0;
};

// An open handle: the process it was opened on, also after that has ended,
// and the access granted.
class SimProcesses::Handle : public OpenedProcess {
 public:
  Handle(SimProcesses& owner, Process& process, std::uint32_t access)
      : owner_(owner), process_(process), access_(access) {
    ++owner_.openHandles_;
  }
  ~Handle() override { --owner_.openHandles_; }

  bool FirstModule(std::uintptr_t& module) override {
    if (const ErrorCode e = owner_.faults_.Next("Processes.FirstModule", process_.modulePath)) {
      return owner_.Fail(e);
    }
    if (const ErrorCode e = MemoryReadable()) return owner_.Fail(e);
    module = kModuleBase;
    return true;
  }

  std::string ModuleFileName(std::uintptr_t module) override {
    if (const ErrorCode e = owner_.faults_.Next("Processes.ModuleFileName", process_.modulePath)) {
      owner_.Fail(e);
      return {};
    }
    constexpr ErrorCode kInvalidHandle = win_error::kInvalidHandle;
    if (const ErrorCode e = module != kModuleBase ? kInvalidHandle : MemoryReadable()) {
      owner_.Fail(e);
      return {};
    }
    return process_.modulePath;
  }

  bool ImagePath(std::string& path) override {
    if (const ErrorCode e = owner_.faults_.Next("Processes.ImagePath", process_.modulePath)) {
      return owner_.Fail(e);
    }
    if (!owner_.imagePathQuery_) return owner_.Fail(kCallNotImplemented);
    if (!MayQuery()) return owner_.Fail(win_error::kAccessDenied);
    path = process_.modulePath;
    return true;
  }

  bool ImageFileIdentity(FileIdentity& identity) override {
    if (const ErrorCode e =
            owner_.faults_.Next("Processes.ImageFileIdentity", process_.modulePath)) {
      return owner_.Fail(e);
    }
    if (const ErrorCode e = MemoryReadable()) return owner_.Fail(e);
    identity = process_.image;
    return true;
  }

  bool StartTime(std::uint64_t& time) override {
    if (const ErrorCode e = owner_.faults_.Next("Processes.StartTime", process_.modulePath)) {
      return owner_.Fail(e);
    }
    if (!MayQuery()) return owner_.Fail(win_error::kAccessDenied);
    time = process_.startTime;
    return true;
  }

  Process& process() { return process_; }
  std::uint32_t access() const { return access_; }

 private:
  // The full query right holds the limited one; systems before Vista know
  // only the full one.
  bool MayQuery() const {
    return Allows(access_, process_access::kQueryInformation) ||
           (owner_.imagePathQuery_ && Allows(access_, process_access::kQueryLimited));
  }

  ErrorCode MemoryReadable() const {
    if (!Allows(access_, process_access::kQueryAndRead)) return win_error::kAccessDenied;
    if (process_.hideModules || process_.exitCode) return kPartialCopy;
    return win_error::kSuccess;
  }

  SimProcesses& owner_;
  Process& process_;
  std::uint32_t access_;
};

SimProcesses::SimProcesses(Faults& faults, ImageResolver imageOf)
    : faults_(faults), imageOf_(std::move(imageOf)) {}

bool SimProcesses::Fail(ErrorCode code) {
  lastError_ = code;
  return false;
}

int SimProcesses::PlatformId() {
  if (const ErrorCode e = faults_.Next("Processes.PlatformId")) {
    Fail(e);
    return 0;
  }
  return platformId_;
}

std::unique_ptr<ProcessSnapshot> SimProcesses::TakeSnapshot() {
  if (const ErrorCode e = faults_.Next("Processes.TakeSnapshot")) {
    Fail(e);
    return nullptr;
  }
  std::vector<ProcessEntry> entries;
  for (const auto& process : table_) {
    if (!process->exitCode) entries.push_back(ProcessEntry{process->pid, process->snapshotName});
  }
  return std::make_unique<Snapshot>(*this, std::move(entries));
}

bool SimProcesses::EnumerateIds(std::span<std::uint32_t> ids, std::uint32_t& bytesWritten) {
  if (const ErrorCode e = faults_.Next("Processes.EnumerateIds")) return Fail(e);
  // As EnumProcesses: as many as fit, and no sign that more did not.
  std::size_t written = 0;
  for (const auto& process : table_) {
    if (written == ids.size()) break;
    if (!process->exitCode) ids[written++] = process->pid;
  }
  bytesWritten = static_cast<std::uint32_t>(written * sizeof(std::uint32_t));
  return true;
}

std::unique_ptr<OpenedProcess> SimProcesses::Open(std::uint32_t access, bool /*inheritable*/,
                                                  std::uint32_t pid) {
  Process* process = Running(pid);
  const std::string subject = process ? process->modulePath : std::string();
  ErrorCode e = faults_.Next("Processes.Open", subject);
  if (!e && !process) e = win_error::kInvalidParameter;
  if (!e && (process->deniedRights & access)) e = win_error::kAccessDenied;
  if (e) {
    Fail(e);
    return nullptr;
  }
  return std::make_unique<Handle>(*this, *process, access);
}

bool SimProcesses::Terminate(OpenedProcess* opened, std::uint32_t exitCode) {
  // Only this table's own handles are ever handed back to it.
  auto* handle = static_cast<Handle*>(opened);
  const std::string subject = handle ? handle->process().modulePath : std::string();
  if (const ErrorCode e = faults_.Next("Processes.Terminate", subject)) return Fail(e);
  if (!handle) return Fail(win_error::kInvalidHandle);
  Process& process = handle->process();
  // Windows refuses to end a process that has already ended.
  if (!Allows(handle->access(), process_access::kTerminate) || process.refuseTermination ||
      process.exitCode) {
    return Fail(win_error::kAccessDenied);
  }
  process.exitCode = exitCode;
  return true;
}

std::string SimProcesses::SystemMessage(ErrorCode code, std::uint32_t capacity) {
  const auto found = MessageTexts().find(code);
  ErrorCode e = faults_.Next("Processes.SystemMessage", std::to_string(code));
  if (!e && found == MessageTexts().end()) e = kMessageNotFound;
  // The text and its terminating NUL must fit.
  if (!e && Utf16FromUtf8(found->second).size() >= capacity) e = kInsufficientBuffer;
  if (e) {
    Fail(e);
    return {};
  }
  return found->second;
}

void SimProcesses::AddProcess(std::uint32_t pid, std::string modulePath, std::string snapshotName) {
  if (Running(pid)) throw std::invalid_argument("process already running: " + std::to_string(pid));
  auto process = std::make_unique<Process>();
  process->pid = pid;
  clock_ += kTenMilliseconds;
  process->startTime = clock_;
  process->snapshotName = snapshotName.empty() ? FileNamePart(modulePath) : std::move(snapshotName);
  process->modulePath = std::move(modulePath);
  if (imageOf_) process->image = imageOf_(process->modulePath);
  table_.push_back(std::move(process));
}

void SimProcesses::DenyOpen(std::uint32_t pid, std::uint32_t rights) {
  RunningForSetup(pid).deniedRights = rights;
}
void SimProcesses::SetImageIdentity(std::uint32_t pid, FileIdentity image) {
  RunningForSetup(pid).image = image;
}
void SimProcesses::HideModules(std::uint32_t pid) { RunningForSetup(pid).hideModules = true; }
void SimProcesses::RefuseTermination(std::uint32_t pid) {
  RunningForSetup(pid).refuseTermination = true;
}
void SimProcesses::Exit(std::uint32_t pid, std::uint32_t exitCode) {
  RunningForSetup(pid).exitCode = exitCode;
}

bool SimProcesses::IsRunning(std::uint32_t pid) const {
  const Process* process = Latest(pid);
  return process && !process->exitCode;
}

std::optional<std::uint32_t> SimProcesses::ExitCode(std::uint32_t pid) const {
  const Process* process = Latest(pid);
  return process ? process->exitCode : std::nullopt;
}

SimProcesses::Process* SimProcesses::Running(std::uint32_t pid) {
  const auto found = std::find_if(table_.begin(), table_.end(), [pid](const auto& process) {
    return process->pid == pid && !process->exitCode;
  });
  return found == table_.end() ? nullptr : found->get();
}

SimProcesses::Process& SimProcesses::RunningForSetup(std::uint32_t pid) {
  Process* process = Running(pid);
  if (!process) throw std::invalid_argument("no running process " + std::to_string(pid));
  return *process;
}

const SimProcesses::Process* SimProcesses::Latest(std::uint32_t pid) const {
  const auto found = std::find_if(table_.rbegin(), table_.rend(),
                                  [pid](const auto& process) { return process->pid == pid; });
  return found == table_.rend() ? nullptr : found->get();
}

}  // namespace foxbane::sim
