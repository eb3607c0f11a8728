#include "win32/processes.h"

#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <cwchar>
#include <optional>

#include "win32/growing_text.h"
#include "win32/text.h"
#include "win32/unique_handle.h"

namespace foxbane::win32 {

namespace {

static_assert(sizeof(DWORD) == sizeof(std::uint32_t));
constexpr std::size_t kModuleBufferBytes = 200;
using QueryImageNameFunction = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);

// Looked up rather than imported, so that a system without it still starts
// and lists its processes the older way.
QueryImageNameFunction QueryImageName() {
  static const QueryImageNameFunction function = [] {
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const FARPROC found = kernel ? ::GetProcAddress(kernel, "QueryFullProcessImageNameW") : nullptr;
    return reinterpret_cast<QueryImageNameFunction>(reinterpret_cast<void (*)()>(found));
  }();
  return function;
}

// The text of a fixed character field, up to its terminating NUL.
std::string FieldText(const wchar_t* field, std::size_t capacity) {
  return Narrow(std::wstring_view(field, ::wcsnlen(field, capacity)));
}

class Win32Snapshot : public ProcessSnapshot {
 public:
  explicit Win32Snapshot(UniqueFileHandle snapshot) : snapshot_(std::move(snapshot)) {}

  bool First(ProcessEntry& entry) override { return Fetch(::Process32FirstW, entry); }
  bool Next(ProcessEntry& entry) override { return Fetch(::Process32NextW, entry); }

 private:
  template <typename Fetcher>
  bool Fetch(Fetcher fetch, ProcessEntry& entry) {
    PROCESSENTRY32W record{};
    record.dwSize = sizeof(record);
    if (!fetch(snapshot_.Get(), &record)) return false;
    entry.pid = record.th32ProcessID;
    entry.exeFile = FieldText(record.szExeFile, std::size(record.szExeFile));
    return true;
  }

  UniqueFileHandle snapshot_;
};

class Win32OpenedProcess : public OpenedProcess {
 public:
  explicit Win32OpenedProcess(UniqueKernelHandle process) : process_(std::move(process)) {}

  bool FirstModule(std::uintptr_t& module) override {
    HMODULE modules[kModuleBufferBytes / sizeof(HMODULE)] = {};
    static_assert(sizeof(modules) == kModuleBufferBytes);
    DWORD needed = 0;
    if (!::EnumProcessModules(process_.Get(), modules, sizeof(modules), &needed)) return false;
    module = reinterpret_cast<std::uintptr_t>(modules[0]);
    return true;
  }

  std::string ModuleFileName(std::uintptr_t module) override {
    const auto name = GrowingText([&](wchar_t* buffer, DWORD capacity) -> std::optional<DWORD> {
      const DWORD length = ::GetModuleFileNameExW(
          process_.Get(), reinterpret_cast<HMODULE>(module), buffer, capacity);
      if (length == 0) return std::nullopt;
      return length;
    });
    return name ? Narrow(*name) : std::string();
  }

  bool ImagePath(std::string& path) override {
    const QueryImageNameFunction query = QueryImageName();
    if (!query) {
      ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
      return false;
    }
    const auto name = GrowingText([&](wchar_t* buffer, DWORD capacity) -> std::optional<DWORD> {
      DWORD length = capacity;
      if (query(process_.Get(), 0, buffer, &length)) return length;
      // Too small a buffer is answered with this error, not a cut text.
      if (::GetLastError() == ERROR_INSUFFICIENT_BUFFER) return capacity;
      return std::nullopt;
    });
    if (!name) return false;
    path = Narrow(*name);
    return true;
  }

  bool ImageFileIdentity(FileIdentity& identity) override {
    std::uintptr_t base = 0;
    if (!FirstModule(base)) return false;
    const auto mapped = GrowingText([&](wchar_t* buffer, DWORD capacity) -> std::optional<DWORD> {
      const DWORD length =
          ::GetMappedFileNameW(process_.Get(), reinterpret_cast<void*>(base), buffer, capacity);
      if (length == 0) return std::nullopt;
      return length;
    });
    if (!mapped) return false;
    // A device path (\Device\HarddiskVolume3\...), which Win32 reaches
    // through GLOBALROOT; Wine gives an NT path (\??\C:\...) instead.
    const std::wstring path = mapped->starts_with(L"\\??\\")
                                  ? L"\\\\?\\" + mapped->substr(4)
                                  : L"\\\\?\\GLOBALROOT" + *mapped;
    const UniqueFileHandle file(::CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION facts{};
    if (!file || !::GetFileInformationByHandle(file.Get(), &facts)) return false;
    identity.volume = facts.dwVolumeSerialNumber;
    identity.index = (static_cast<std::uint64_t>(facts.nFileIndexHigh) << 32) | facts.nFileIndexLow;
    return true;
  }

  bool StartTime(std::uint64_t& time) override {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!::GetProcessTimes(process_.Get(), &created, &exited, &kernel, &user)) return false;
    time = (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    return true;
  }

  HANDLE Get() const { return process_.Get(); }

 private:
  UniqueKernelHandle process_;
};

}  // namespace

int Win32Processes::PlatformId() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
  if (!::GetVersionExW(&version)) return 0;
  return static_cast<int>(version.dwPlatformId);
}

bool Win32Processes::HasImagePathQuery() { return QueryImageName() != nullptr; }

std::unique_ptr<ProcessSnapshot> Win32Processes::TakeSnapshot() {
  UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return nullptr;
  return std::make_unique<Win32Snapshot>(std::move(snapshot));
}

bool Win32Processes::EnumerateIds(std::span<std::uint32_t> ids, std::uint32_t& bytesWritten) {
  DWORD written = 0;
  if (!::EnumProcesses(reinterpret_cast<DWORD*>(ids.data()),
                       static_cast<DWORD>(ids.size_bytes()), &written)) {
    return false;
  }
  bytesWritten = written;
  return true;
}

std::unique_ptr<OpenedProcess> Win32Processes::Open(std::uint32_t access, bool inheritable,
                                                    std::uint32_t pid) {
  UniqueKernelHandle process(::OpenProcess(access, inheritable ? TRUE : FALSE, pid));
  if (!process) return nullptr;
  return std::make_unique<Win32OpenedProcess>(std::move(process));
}

bool Win32Processes::Terminate(OpenedProcess* process, std::uint32_t exitCode) {
  // Only this adapter's own handles are ever handed back to it.
  const HANDLE handle = process ? static_cast<Win32OpenedProcess*>(process)->Get() : nullptr;
  return ::TerminateProcess(handle, exitCode) != FALSE;
}

ErrorCode Win32Processes::LastError() { return ::GetLastError(); }

std::string Win32Processes::SystemMessage(ErrorCode code, std::uint32_t capacity) {
  std::wstring buffer(capacity, L' ');
  // Inserts are left as written: there are no arguments to put in them, and
  // without this flag a text with one would be read past what was given.
  const DWORD written =
      ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                       buffer.data(), capacity, nullptr);
  return Narrow(std::wstring_view(buffer.data(), written));
}

}  // namespace foxbane::win32
