// The process list built by the core over the real process functions, on
// both families Windows can report.

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "common/vb_conversions.h"
#include "headless_form.h"
#include "support/waiting_process.h"
#include "support/wine.h"
#include "win32/text.h"
#include "win32/unique_handle.h"

namespace foxbane::win32::testing {
namespace {

using test_support::OwnPath;

// Set in the environment of the copy that runs as a 98 program.
constexpr wchar_t kAs98Variable[] = L"FOXBANE_LISTING_AS_98";
constexpr wchar_t kWineAppDefaults[] = L"Software\\Wine\\AppDefaults\\";

std::optional<std::string> ListedName(Form2& form, DWORD pid) {
  ListView& list = form.lvwProcess();
  for (std::int32_t row = 1; row <= list.Count(); ++row) {
    if (ToInt32(list.Item(row).pidText) == static_cast<std::int32_t>(pid)) {
      return list.Item(row).text;
    }
  }
  return std::nullopt;
}

TEST(ProcessListOnTheSystem, ListsAProcessByItsFullPathOnTheNtFamily) {
  const test_support::WaitingProcess waiting;
  HeadlessForm headless;
  ASSERT_EQ(headless.form().platform().processes.PlatformId(), 2);
  headless.form().ListProcesses();
  EXPECT_EQ(ListedName(headless.form(), waiting.Pid()), waiting.Path());
  EXPECT_EQ(ListedName(headless.form(), ::GetCurrentProcessId()), win32::Narrow(OwnPath()));
}

// A copy of this binary under an upper-case name, which Wine runs as a
// Windows 98 program; removed with its setting afterwards.
class CopyRunAs98 {
 public:
  CopyRunAs98() {
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
    name_ = L"FOXBANE-LIST98-" + std::to_wstring(::GetCurrentProcessId()) + L".EXE";
    path_ = std::wstring(temp, length) + name_;
    if (!::CopyFileW(OwnPath().c_str(), path_.c_str(), FALSE)) throw std::runtime_error("copy");
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, (kWineAppDefaults + name_).c_str(), 0, nullptr, 0,
                          KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
      throw std::runtime_error("cannot set the Windows version");
    }
    const UniqueRegKey settings(key);
    const wchar_t version[] = L"win98";
    ::RegSetValueExW(settings.Get(), L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                     sizeof(version));
  }
  ~CopyRunAs98() {
    ::RegDeleteKeyW(HKEY_CURRENT_USER, (kWineAppDefaults + name_).c_str());
    ::DeleteFileW(path_.c_str());
  }

  // Runs the copy's tests that match `filter`; its exit code, or none if
  // it did not end in a minute.
  std::optional<DWORD> RunTests(const std::wstring& filter) {
    std::wstring commandLine = L"\"" + path_ + L"\" --gtest_filter=" + filter;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    ::SetEnvironmentVariableW(kAs98Variable, L"1");
    const BOOL started = ::CreateProcessW(path_.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                          0, nullptr, nullptr, &startup, &info);
    ::SetEnvironmentVariableW(kAs98Variable, nullptr);
    if (!started) return std::nullopt;
    const UniqueKernelHandle thread(info.hThread);
    const UniqueKernelHandle process(info.hProcess);
    DWORD code = 0;
    if (::WaitForSingleObject(process.Get(), 60'000) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(process.Get(), &code)) {
      ::TerminateProcess(process.Get(), 1);
      return std::nullopt;
    }
    return code;
  }

 private:
  std::wstring name_;
  std::wstring path_;
};

TEST(ProcessListOnTheSystem, ListsLowerCaseSnapshotNamesOnThe9xFamily) {
  if (!test_support::RunningUnderWine()) {
    GTEST_SKIP() << "only Wine can be told to report the 95/98/Me family";
  }
  CopyRunAs98 copy;
  EXPECT_EQ(copy.RunTests(L"ProcessListAs98.*"), 0u);
}

TEST(ProcessListAs98, ListsItselfByItsSnapshotNameInLowerCase) {
  if (!::GetEnvironmentVariableW(kAs98Variable, nullptr, 0)) {
    GTEST_SKIP() << "runs in the copy that ListsLowerCaseSnapshotNamesOnThe9xFamily starts";
  }
  HeadlessForm headless;
  ASSERT_EQ(headless.form().platform().processes.PlatformId(), 1);
  headless.form().ListProcesses();
  const std::wstring path = OwnPath();
  EXPECT_EQ(ListedName(headless.form(), ::GetCurrentProcessId()),
            ToLowerAscii(win32::Narrow(path.substr(path.find_last_of(L'\\') + 1))));
}

}  // namespace
}  // namespace foxbane::win32::testing
