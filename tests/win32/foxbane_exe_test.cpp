// foxbane.exe itself, started and driven from outside as a user would.

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <map>
#include <span>

#include "app/control_table.h"
#include "win32/control_ids.h"
#include "win32/resource.h"
#include "win32/text.h"
#include "support/running_program.h"
#include "support/window_probe.h"

namespace foxbane::win32::testing {
namespace {

using C = ControlId;
using namespace std::chrono_literals;

const wchar_t* ClassFor(ControlKind kind) {
  switch (kind) {
    case ControlKind::Frame: return L"FoxbaneFrame";
    case ControlKind::Label:
    case ControlKind::LinkLabel: return L"Static";
    case ControlKind::Button: return L"Button";
    case ControlKind::TextBox: return L"Edit";
    case ControlKind::ListView: return L"SysListView32";
    case ControlKind::FileListBox: return L"ListBox";
    case ControlKind::ProgressBar: return L"FoxbaneProgress";
  }
  return L"";
}

// On the start screen: the control's own flag, and every container shown.
bool ShownAtStart(const ControlSpec& spec) {
  for (const ControlSpec* level = &spec;; level = &SpecOf(*level->parent)) {
    if (!level->visibleAtStart) return false;
    if (!level->parent) return true;
  }
}

class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest() : program_(ProgramPath()) {}

  HWND Control(ControlId control) const { return FindControl(program_.Window(), control); }

  RunningProgram program_;
};

TEST_F(ProgramTest, StartScreenIsACentredFixedWindowWithEveryControlInItsPlace) {
  EXPECT_EQ(TextOf(program_.Window()), L"Foxbane");
  const auto style = ::GetWindowLongPtrW(program_.Window(), GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX),
            WS_CAPTION | WS_SYSMENU);  // a fixed border
  RECT outer;
  ::GetWindowRect(program_.Window(), &outer);
  EXPECT_EQ(outer.left, (::GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2);
  EXPECT_EQ(outer.top, (::GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2);
  const auto edges = [](const RECT& r) { return std::array{r.left, r.top, r.right, r.bottom}; };
  const int dpi = ScreenDpi();
  RECT client;
  ::GetClientRect(program_.Window(), &client);
  EXPECT_EQ(edges(client), edges(ExpectedRect({0, 0, 7305, 4215}, dpi)));

  std::map<HWND, std::vector<int>> stacking;  // each parent's child ids, top first
  for (const ControlSpec& spec : MainWindowControls()) {
    SCOPED_TRACE(spec.name);
    const HWND control = Control(spec.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(::CompareStringOrdinal(ClassOf(control).c_str(), -1, ClassFor(spec.kind), -1, TRUE),
              CSTR_EQUAL)
        << "class " << Narrow(ClassOf(control));
    const HWND parent = spec.parent ? Control(*spec.parent) : program_.Window();
    EXPECT_EQ(::GetParent(control), parent);
    stacking[parent].push_back(ChildIdOf(spec.id));
    EXPECT_EQ(TextOf(control), Wide(spec.caption));
    EXPECT_EQ((::GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0, spec.visibleAtStart);
    EXPECT_EQ(::IsWindowVisible(control) != FALSE, ShownAtStart(spec));
    EXPECT_EQ(edges(RectInParent(control)), edges(ExpectedRect(spec.rect, dpi)));
  }
  for (const auto& [parent, ids] : stacking) EXPECT_EQ(ChildIdsTopFirst(parent), ids);
  EXPECT_TRUE(WaitUntil([&] { return program_.Focus() == Control(C::Command1); }, 5s));
}

TEST_F(ProgramTest, ClosingTheWindowEndsTheProgramWithCodeZero) {
  ::PostMessageW(program_.Window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(program_.WaitForExit(10s), DWORD{0});
}

// The resources as stored in the file, loaded as data.
class ProgramFileTest : public ::testing::Test {
 protected:
  ~ProgramFileTest() override { ::FreeLibrary(module_); }

  // The resource's bytes; empty when the file has none.
  std::span<const BYTE> Resource(LPCWSTR type, int id) const {
    const HRSRC found = ::FindResourceW(module_, MAKEINTRESOURCEW(id), type);
    if (!found) return {};
    return {static_cast<const BYTE*>(::LockResource(::LoadResource(module_, found))),
            ::SizeofResource(module_, found)};
  }

  const HMODULE module_ = ::LoadLibraryExW(
      ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
};

TEST_F(ProgramFileTest, HoldsOne32By32IconWith16Colours) {
  ASSERT_NE(module_, nullptr);
  // A header of three words (reserved, type, count), then 14-byte entries
  // that start with width, height, colours, reserved, planes, bits a pixel.
  const std::span<const BYTE> group = Resource(RT_GROUP_ICON, IDI_FOXBANE);
  ASSERT_GE(group.size(), 6u + 14u);
  EXPECT_EQ(group[4] | group[5] << 8, 1);
  EXPECT_EQ(group[6], 32);
  EXPECT_EQ(group[7], 32);
  EXPECT_EQ(group[8], 16);
  EXPECT_EQ(group[12] | group[13] << 8, 4);
}

}  // namespace
}  // namespace foxbane::win32::testing
