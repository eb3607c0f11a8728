// foxbane.exe itself, started and driven from outside as a user would.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <span>

#include "app/control_table.h"
#include "app/texts.h"
#include "win32/control_ids.h"
#include "win32/resource.h"
#include "win32/text.h"
#include "running_program.h"
#include "window_probe.h"

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

  void ClickLink() {
    ::SendMessageW(program_.Window(), WM_COMMAND, MAKEWPARAM(ChildIdOf(C::Label7), STN_CLICKED),
                   reinterpret_cast<LPARAM>(Control(C::Label7)));
  }

  RunningProgram program_;
};

TEST_F(ProgramTest, WindowIsCentredWithTheLayoutsClientAreaAndAFixedBorder) {
  const int dpi = ScreenDpi();
  RECT client;
  ::GetClientRect(program_.Window(), &client);
  EXPECT_EQ(client.right, ExpectedPixels(7305, dpi));
  EXPECT_EQ(client.bottom, ExpectedPixels(4215, dpi));

  RECT outer;
  ::GetWindowRect(program_.Window(), &outer);
  EXPECT_EQ(outer.left, (::GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2);
  EXPECT_EQ(outer.top, (::GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2);

  const auto style = ::GetWindowLongPtrW(program_.Window(), GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_EQ(TextOf(program_.Window()), L"Foxbane");
}

TEST_F(ProgramTest, StartScreenShowsEveryControlAtItsPlaceWithItsText) {
  const int dpi = ScreenDpi();
  for (const ControlSpec& spec : MainWindowControls()) {
    SCOPED_TRACE(spec.name);
    const HWND control = Control(spec.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(::CompareStringOrdinal(ClassOf(control).c_str(), -1, ClassFor(spec.kind), -1, TRUE),
              CSTR_EQUAL)
        << "class " << Narrow(ClassOf(control));
    EXPECT_EQ(::GetParent(control), spec.parent ? Control(*spec.parent) : program_.Window());
    EXPECT_EQ(TextOf(control), Wide(spec.caption));
    EXPECT_EQ((::GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0, spec.visibleAtStart);
    EXPECT_EQ(::IsWindowVisible(control) != FALSE, ShownAtStart(spec));

    const RECT expected = ExpectedRect(spec.rect, dpi);
    const RECT actual = RectInParent(control);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
  }
}

TEST_F(ProgramTest, SiblingsStackInTheLayoutsOrder) {
  std::map<HWND, std::vector<int>> expected;
  for (const ControlSpec& spec : MainWindowControls()) {
    const HWND parent = spec.parent ? Control(*spec.parent) : program_.Window();
    expected[parent].push_back(ChildIdOf(spec.id));
  }
  for (const auto& [parent, ids] : expected) EXPECT_EQ(ChildIdsTopFirst(parent), ids);
}

TEST_F(ProgramTest, ScanButtonHasTheFocusAtStart) {
  EXPECT_TRUE(WaitUntil([&] { return program_.Focus() == Control(C::Command1); }, 5s));
}

TEST_F(ProgramTest, DisclaimerLinkShowsTheDisclaimerAndOkReturnsToStart) {
  SaveScreenshot(program_.Window(), ScreensFolder() / "start.bmp");

  ClickLink();
  EXPECT_TRUE(::IsWindowVisible(Control(C::disclaimer)));
  EXPECT_EQ(TextOf(Control(C::Label8)), Wide(texts::kDisclaimer));
  SaveScreenshot(program_.Window(), ScreensFolder() / "disclaimer.bmp");

  ::SendMessageW(Control(C::Command4), BM_CLICK, 0, 0);
  for (ControlId panel : kPanels) EXPECT_FALSE(::IsWindowVisible(Control(panel)));
  EXPECT_TRUE(::IsWindowVisible(Control(C::Command1)));
}

TEST_F(ProgramTest, ScanWithoutTheAdwareEndsOnTheNothingFoundPanelWhoseExitEndsTheProgram) {
  ::PostMessageW(Control(C::Command1), BM_CLICK, 0, 0);
  // The pass shows the nothing-found panel first, then hides the other two.
  ASSERT_TRUE(WaitUntil(
      [&] {
        return ::IsWindowVisible(Control(C::clean)) && !::IsWindowVisible(Control(C::scanstatus));
      },
      60s));
  EXPECT_FALSE(::IsWindowVisible(Control(C::results)));
  EXPECT_TRUE(::IsWindowVisible(Control(C::label99)));
  SaveScreenshot(program_.Window(), ScreensFolder() / "nothing-found.bmp");

  ::PostMessageW(Control(C::Command3), BM_CLICK, 0, 0);
  EXPECT_EQ(program_.WaitForExit(10s), DWORD{0});
}

TEST_F(ProgramTest, ClosingTheWindowEndsTheProgramWithCodeZero) {
  ::PostMessageW(program_.Window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(program_.WaitForExit(10s), DWORD{0});
}

// The resources as stored in the file, loaded as data.
class ProgramFileTest : public ::testing::Test {
 protected:
  ProgramFileTest()
      : module_(::LoadLibraryExW(ProgramPath().c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
  ~ProgramFileTest() override { ::FreeLibrary(module_); }

  std::span<const BYTE> Resource(LPCWSTR type, LPCWSTR name) const {
    const HRSRC found = ::FindResourceW(module_, name, type);
    if (!found) return {};
    const auto* data = static_cast<const BYTE*>(::LockResource(::LoadResource(module_, found)));
    return {data, ::SizeofResource(module_, found)};
  }

  HMODULE module_;
};

#pragma pack(push, 2)
struct IconGroupHeader {
  WORD reserved, type, count;
};
struct IconGroupEntry {
  BYTE width, height, colourCount, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

TEST_F(ProgramFileTest, IconResourceIs32By32With16Colours) {
  ASSERT_NE(module_, nullptr);
  const std::span<const BYTE> group = Resource(RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_FOXBANE));
  ASSERT_GE(group.size(), sizeof(IconGroupHeader) + sizeof(IconGroupEntry));
  IconGroupHeader header;
  std::memcpy(&header, group.data(), sizeof header);
  ASSERT_EQ(header.count, 1);
  IconGroupEntry entry;
  std::memcpy(&entry, group.data() + sizeof header, sizeof entry);
  EXPECT_EQ(entry.width, 32);
  EXPECT_EQ(entry.height, 32);
  EXPECT_EQ(entry.colourCount, 16);
  EXPECT_EQ(entry.bitCount, 4);
}

TEST_F(ProgramFileTest, VersionIs161) {
  ASSERT_NE(module_, nullptr);
  const std::span<const BYTE> version = Resource(RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO));
  ASSERT_FALSE(version.empty());
  // The fixed part follows its signature; the texts are UTF-16 pairs of name and value.
  const DWORD signature = VS_FFI_SIGNATURE;
  const auto at = std::search(version.begin(), version.end(),
                              reinterpret_cast<const BYTE*>(&signature),
                              reinterpret_cast<const BYTE*>(&signature) + sizeof signature);
  ASSERT_NE(at, version.end());
  VS_FIXEDFILEINFO fixed;
  std::memcpy(&fixed, &*at, sizeof fixed);
  EXPECT_EQ(fixed.dwFileVersionMS, DWORD{(1u << 16) | 61u});
  EXPECT_EQ(fixed.dwProductVersionMS, DWORD{(1u << 16) | 61u});

  const std::wstring texts(reinterpret_cast<const wchar_t*>(version.data()),
                           version.size() / sizeof(wchar_t));
  const auto valueOf = [&](const std::wstring& name) {
    const std::size_t key = texts.find(name + L'\0');
    if (key == std::wstring::npos) return std::wstring();
    std::size_t value = key + name.size();
    while (value < texts.size() && texts[value] == L'\0') ++value;  // terminator and padding
    return std::wstring(texts.c_str() + value);
  };
  EXPECT_EQ(valueOf(L"FileVersion"), L"1.61");
  EXPECT_EQ(valueOf(L"ProductVersion"), L"1.61");
  EXPECT_EQ(valueOf(L"ProductName"), L"Foxbane");
}

}  // namespace
}  // namespace foxbane::win32::testing
