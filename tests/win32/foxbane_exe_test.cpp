// foxbane.exe itself, started and driven from outside as a user would.

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <map>
#include <memory>

#include "app/control_table.h"
#include "support/running_program.h"
#include "support/window_probe.h"
#include "win32/resource.h"
#include "win32/text.h"

namespace foxbane::win32::testing {
namespace {

using namespace std::chrono_literals;

// The window class of each kind of control, in ControlKind's order.
constexpr const wchar_t* kClassOfKind[] = {L"FoxbaneFrame", L"Static",        L"Static",
                                           L"Button",       L"Edit",          L"SysListView32",
                                           L"ListBox",      L"FoxbaneProgress"};

std::array<LONG, 4> Edges(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

class ProgramTest : public ::testing::Test {
 protected:
  ChildProcess program_{ProgramPath().wstring()};
  // Its title is Foxbane, or it is not found.
  const HWND window_ = WaitForShownWindow(kMainWindowClass, 10s);
};

TEST_F(ProgramTest, StartScreenIsACentredFixedWindowWithEveryControlInItsPlace) {
  ASSERT_NE(window_, nullptr);
  const auto style = ::GetWindowLongPtrW(window_, GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX),
            WS_CAPTION | WS_SYSMENU);  // a fixed border
  RECT outer;
  ::GetWindowRect(window_, &outer);
  EXPECT_EQ(outer.left, (::GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2);
  EXPECT_EQ(outer.top, (::GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2);
  const int dpi = ScreenDpi();
  RECT client;
  ::GetClientRect(window_, &client);
  EXPECT_EQ(Edges(client), Edges(ExpectedRect({0, 0, 7305, 4215}, dpi)));

  std::map<HWND, HWND> above;  // each parent's control placed last, top of the stacking order first
  for (const ControlSpec& spec : MainWindowControls()) {
    SCOPED_TRACE(spec.name);
    const HWND control = FindControl(window_, spec.id);  // only in the parent the layout gives it
    ASSERT_NE(control, nullptr);
    wchar_t className[32] = {};
    ::GetClassNameW(control, className, 32);
    EXPECT_EQ(::CompareStringOrdinal(className, -1, kClassOfKind[static_cast<int>(spec.kind)], -1,
                                     TRUE),
              CSTR_EQUAL)
        << "class " << Narrow(className);
    EXPECT_EQ(TextOf(control), Wide(spec.caption));
    EXPECT_EQ((::GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0, spec.visibleAtStart);
    RECT place;
    ::GetWindowRect(control, &place);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(Edges(place), Edges(ExpectedRect(spec.rect, dpi)));
    HWND& previous = above[::GetParent(control)];
    EXPECT_EQ(::GetWindow(control, GW_HWNDPREV), previous);
    previous = control;
  }
}

TEST_F(ProgramTest, ClosingTheWindowEndsTheProgramWithCodeZero) {
  ASSERT_NE(window_, nullptr);
  ::PostMessageW(window_, WM_CLOSE, 0, 0);
  EXPECT_EQ(program_.ExitCode(10s), DWORD{0});
}

// The icon as stored in the file: a group header of three words (reserved,
// type, count), then 14-byte entries that start with width, height,
// colours, reserved, planes, bits a pixel.
TEST(ProgramFile, HoldsOne32By32IconWith16Colours) {
  const std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&::FreeLibrary)> module(
      ::LoadLibraryExW(ProgramPath().c_str(), nullptr,
                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE),
      ::FreeLibrary);
  ASSERT_TRUE(module);
  const HRSRC found = ::FindResourceW(module.get(), MAKEINTRESOURCEW(IDI_FOXBANE), RT_GROUP_ICON);
  ASSERT_NE(found, nullptr);
  ASSERT_GE(::SizeofResource(module.get(), found), 6u + 14u);
  const auto* group = static_cast<const BYTE*>(::LockResource(::LoadResource(module.get(), found)));
  EXPECT_EQ((std::array{group[4], group[5], group[6], group[7], group[8], group[12], group[13]}),
            (std::array<BYTE, 7>{1, 0, 32, 32, 16, 4, 0}));
}

}  // namespace
}  // namespace foxbane::win32::testing
