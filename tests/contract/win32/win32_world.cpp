#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <vector>

#include "contract/world.h"
#include "support/waiting_process.h"
#include "support/wine.h"
#include "win32/clock.h"
#include "win32/environment.h"
#include "win32/file_system.h"
#include "win32/processes.h"
#include "win32/profile_files.h"
#include "win32/registry.h"
#include "win32/text.h"

namespace foxbane::contract {
namespace {

namespace fs = std::filesystem;
using win32::Narrow;
using win32::Wide;

void Check(bool done, const std::string& what) {
  if (!done) throw std::runtime_error("cannot " + what);
}

// A name of this process's own, so that runs side by side keep apart.
std::string UniqueName() {
  static std::atomic<int> next{0};
  return "FoxbaneTest-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++next);
}

bool IsLink(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

class Win32World : public World {
 public:
  Win32World() { MakeFolder(folder_); }

  // Read-only files and folders are made writable first, or they would stay.
  ~Win32World() override {
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(Wide(folder_), ignored)) {
      ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    fs::remove_all(Wide(folder_), ignored);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, Wide(key_).c_str());  // the key too
    for (const std::wstring& name : variables_) ::SetEnvironmentVariableW(name.c_str(), nullptr);
  }

  Adapters Subject() override {
    return {files_, profiles_, registry_, processes_, environment_, clock_};
  }
  const std::string& Folder() const override { return folder_; }
  const std::string& Key() const override { return key_; }

  void MakeFolder(const std::string& path) override { fs::create_directories(Wide(path)); }

  // The attributes are set last, so that read-only files can be made too.
  void WriteFile(const std::string& path, std::string_view bytes,
                 std::uint32_t attributes) override {
    const fs::path file(Wide(path));
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
    Check(::SetFileAttributesW(file.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL),
          "write " + path);
  }

  std::optional<std::string> Contents(const std::string& path) override {
    std::ifstream file(fs::path(Wide(path)), std::ios::binary);
    if (!file) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), {});
  }

  bool Exists(const std::string& path) override {
    return ::GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  std::shared_ptr<void> HoldOpen(const std::string& path) override {
    const HANDLE file = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      0, nullptr);
    Check(file != INVALID_HANDLE_VALUE, "hold " + path + " open");
    return {file, ::CloseHandle};
  }

  void MakeHardLink(const std::string& existing, const std::string& link) override {
    fs::create_hard_link(Wide(existing), Wide(link));
  }

  // Wine makes no links for Windows programs (CreateSymbolicLink does
  // nothing there): the end-to-end tests make them from the Linux side.
  bool MakeFolderLink(const std::string& link, const std::string& target) override {
    ::CreateSymbolicLinkW(Wide(link).c_str(), Wide(target).c_str(),
                          SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    return IsLink(link);
  }

  void LetEveryoneChange(const std::string& path) override {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    Check(::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;OICI;FA;;;WD)", SDDL_REVISION_1,
                                                                 &descriptor, nullptr),
          "describe full control for everyone");
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    ::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
    std::wstring name = Wide(path);
    const DWORD set = ::SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                              nullptr, nullptr, dacl, nullptr);
    ::LocalFree(descriptor);
    Check(set == ERROR_SUCCESS, "let everyone change " + path);
  }

  StartedProcess StartWaitingProcess() override {
    test_support::WaitingProcess process;
    const StartedProcess started{process.Pid(), process.Path()};
    started_.emplace(started.pid, std::move(process));
    return started;
  }
  bool IsRunning(std::uint32_t pid) override { return started_.at(pid).IsRunning(); }
  std::optional<std::uint32_t> ExitCodeAfterEnd(std::uint32_t pid) override {
    return started_.at(pid).ExitCodeAfterEnd();
  }
  std::string InvalidHandleText() override { return test_support::InvalidHandleText(); }

  // Asked of the process object rather than of the module, so the answer
  // does not come the adapter's way.
  std::string ProgramPath() override {
    wchar_t path[32768];
    DWORD size = static_cast<DWORD>(std::size(path));
    if (!::QueryFullProcessImageNameW(::GetCurrentProcess(), 0, path, &size)) return {};
    return Narrow(std::wstring_view(path, size));
  }
  bool SixtyFourBitSystem() override {
    BOOL wow64 = FALSE;
    return sizeof(void*) == 8 || (::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64);
  }
  void SetVariable(const std::string& name, const std::string& value) override {
    variables_.push_back(Wide(name));
    ::SetEnvironmentVariableW(variables_.back().c_str(), Wide(value).c_str());
  }

  // Universal time made local by the time-zone rules: another road to the
  // answer than GetLocalTime.
  LocalDateTime ReferenceNow() override {
    SYSTEMTIME utc{}, local{};
    ::GetSystemTime(&utc);
    ::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
    return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
  }
  std::string LocaleName() override {
    wchar_t name[LOCALE_NAME_MAX_LENGTH];
    const int length = ::GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH);
    return length > 0 ? Narrow(std::wstring_view(name, length - 1)) : std::string();
  }

 private:
  const std::string name_ = UniqueName();
  const std::string folder_ = Narrow((fs::temp_directory_path() / name_).wstring());
  const std::string key_ = "Software\\" + name_;
  std::vector<std::wstring> variables_;
  std::map<std::uint32_t, test_support::WaitingProcess> started_;
  win32::Win32FileSystem files_;
  win32::Win32ProfileFiles profiles_;
  win32::Win32Registry registry_;
  win32::Win32Processes processes_;
  win32::Win32Environment environment_;
  win32::Win32Clock clock_;
};

std::unique_ptr<World> MakeWin32World() { return std::make_unique<Win32World>(); }

}  // namespace

FOXBANE_CONTRACT_WORLD(Win32, MakeWin32World);

}  // namespace foxbane::contract
