// The process list built by the core over the real process functions, on
// both families Windows can report.

#include <gtest/gtest.h>

#include <chrono>
#include <cwchar>
#include <filesystem>
#include <optional>
#include <string>

#include "common/vb_conversions.h"
#include "support/form2_test_access.h"
#include "support/headless_form.h"
#include "support/running_program.h"
#include "support/wine.h"
#include "win32/text.h"

namespace foxbane::win32::testing {
namespace {

// Given to the copy that runs as a 98 program.
constexpr wchar_t kAs98Argument[] = L"--foxbane-listing-as-98";

// A copy of this binary under an upper-case name, which Wine runs as a
// Windows 98 program; removed with its setting afterwards.
class CopyRunAs98 {
 public:
  CopyRunAs98() {
    std::filesystem::copy_file(OwnPath(), path_, std::filesystem::copy_options::overwrite_existing);
    const wchar_t version[] = L"win98";
    if (::RegSetKeyValueW(HKEY_CURRENT_USER, settings_.c_str(), L"Version", REG_SZ, version,
                          sizeof version) != ERROR_SUCCESS) {
      throw std::runtime_error("cannot set the Windows version");
    }
  }
  ~CopyRunAs98() {
    ::RegDeleteKeyW(HKEY_CURRENT_USER, settings_.c_str());
    ::DeleteFileW(path_.c_str());
  }

  // Runs the copy's tests that match `filter` to their end; its exit code.
  std::optional<DWORD> RunTests(const std::wstring& filter) const {
    const ChildProcess copy(path_.wstring(), L"--gtest_filter=" + filter + L" " + kAs98Argument);
    return copy.ExitCode(std::chrono::minutes(1));
  }

 private:
  const std::wstring name_ =
      L"FOXBANE-LIST98-" + std::to_wstring(::GetCurrentProcessId()) + L".EXE";
  const std::filesystem::path path_ = std::filesystem::temp_directory_path() / name_;
  const std::wstring settings_ = L"Software\\Wine\\AppDefaults\\" + name_;
};

// Runs here on the NT family, then again in a copy that runs as a 98 program.
TEST(ProcessListOnTheSystem, ListsFullPathsOnTheNtFamilyAndLowerCaseSnapshotNamesOn9x) {
  const bool as98 = std::wcsstr(::GetCommandLineW(), kAs98Argument) != nullptr;
  HeadlessForm headless;
  ASSERT_EQ(headless.processes.PlatformId(), as98 ? 1 : 2);
  Form2TestAccess::ListProcesses(headless.form);
  std::optional<std::string> listedName;
  const ListView& list = headless.form.lvwProcess();
  for (std::int32_t row = 1; row <= list.Count(); ++row) {
    if (ToInt32(list.Item(row).pidText) == static_cast<std::int32_t>(::GetCurrentProcessId())) {
      listedName = list.Item(row).text;
    }
  }
  const std::wstring path = OwnPath();
  EXPECT_EQ(listedName, as98 ? ToLowerAscii(Narrow(path.substr(path.find_last_of(L'\\') + 1)))
                             : Narrow(path));

  if (as98 || !test_support::RunningUnderWine()) return;  // only Wine can be told to be 98
  const CopyRunAs98 copy;
  EXPECT_EQ(copy.RunTests(L"ProcessListOnTheSystem.*"), DWORD{0});
}

}  // namespace
}  // namespace foxbane::win32::testing
