#include <windows.h>

#include "contract/clock_world.h"
#include "win32/clock.h"
#include "win32/text.h"

namespace foxbane::contract {
namespace {

class Win32ClockWorld : public ClockWorld {
 public:
  Clock& Subject() override { return clock_; }

  // Universal time turned local by the time-zone rules: another road to the
  // same answer than GetLocalTime.
  LocalDateTime ReferenceNow() override {
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    ::GetSystemTime(&utc);
    ::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
    return LocalDateTime{local.wYear, local.wMonth, local.wDay,
                         local.wHour, local.wMinute, local.wSecond};
  }

  std::string LocaleName() override {
    wchar_t name[LOCALE_NAME_MAX_LENGTH];
    const int length = ::GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH);
    return length > 0 ? win32::Narrow(std::wstring_view(name, length - 1)) : std::string();
  }

 private:
  win32::Win32Clock clock_;
};

std::unique_ptr<ClockWorld> MakeWin32ClockWorld() { return std::make_unique<Win32ClockWorld>(); }

}  // namespace

INSTANTIATE_TEST_SUITE_P(Win32, ClockContract, ::testing::Values(&MakeWin32ClockWorld));

}  // namespace foxbane::contract
