// The window adapter in this process, where its fonts, list rows and event
// delivery can be read directly.

#include "win32/main_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/control_table.h"
#include "win32/event_loop.h"
#include "win32/text.h"
#include "support/window_probe.h"

namespace foxbane::win32 {
namespace {

using C = ControlId;
using testing::ScreenDpi;
using Rows = std::vector<std::pair<std::wstring, std::wstring>>;

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() : window_(::GetModuleHandleW(nullptr)), loop_(window_) {
    window_.Connect({
        .click = [this](ControlId control) { clicks_.push_back(control); },
        .paintProgress = [this] { ++progressPaints_; },
    });
  }

  // Only tests that need the focus or painting show the window: under Wine
  // without a window manager, taking a shown window down costs two seconds.
  void Show() { window_.ShowOnScreen(SW_SHOWNORMAL); }

  HWND Handle(ControlId control) const { return window_.ControlHandle(control); }

  // What a key press on the focused control sends through the message loop.
  void PressKey(WPARAM key) {
    ::PostMessageW(::GetFocus(), WM_KEYDOWN, key, 0);
    loop_.YieldToPendingMessages();
  }

  // The results list's texts, row by row.
  Rows ResultRows() {
    Rows rows;
    const HWND list = Handle(C::ResultsList);
    const auto text = [list](int row, int column) {
      wchar_t buffer[256] = {};
      ListView_GetItemText(list, row, column, buffer, 256);
      return std::wstring(buffer);
    };
    for (int row = 0; row < ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); ++row) {
      rows.emplace_back(text(row, 0), text(row, 1));
    }
    return rows;
  }

  Win32Window window_;
  Win32EventLoop loop_;
  std::vector<ControlId> clicks_;
  int progressPaints_ = 0;
};

TEST_F(MainWindowTest, EachControlHasTheFontItsLayoutNames) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
  const int dpi = ScreenDpi();
  for (const ControlSpec& spec : MainWindowControls()) {
    if (spec.kind == ControlKind::Frame || spec.kind == ControlKind::ProgressBar) continue;
    SCOPED_TRACE(spec.name);
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(Handle(spec.id), WM_GETFONT, 0, 0));
    LOGFONTW logFont{};
    ASSERT_EQ(::GetObjectW(font, sizeof logFont, &logFont), static_cast<int>(sizeof logFont));
    if (spec.font.face.empty()) {
      EXPECT_STREQ(logFont.lfFaceName, metrics.lfMessageFont.lfFaceName);
      EXPECT_EQ(logFont.lfHeight, metrics.lfMessageFont.lfHeight);
      continue;
    }
    EXPECT_EQ(logFont.lfFaceName, Wide(spec.font.face));
    EXPECT_EQ(logFont.lfHeight, -std::lround(spec.font.points * dpi / 72));
    EXPECT_EQ(logFont.lfWeight, spec.font.bold ? FW_BOLD : FW_NORMAL);
    EXPECT_EQ(logFont.lfUnderline != 0, spec.font.underline);
  }
}

TEST_F(MainWindowTest, ListsShowRowsInOrderAndMeasureInTwipsAtTheDisplaysDpi) {
  const std::vector<ListColumn> earlier{{"One", 1500}, {"Two", 1500}, {"Three", 1500}};
  const std::vector<ListColumn> columns{{"Process", 4428}, {"PID", 968.625}};
  window_.SetColumns(C::ResultsList, earlier);
  window_.SetColumns(C::ResultsList, columns);  // replaces them
  window_.AppendRow(C::ResultsList, "C:\\b.exe", "12");
  window_.AppendRow(C::ResultsList, "C:\\a.exe", "-967296");
  window_.AppendRow(C::ResultsList, "C:\\a.exe", "7");

  EXPECT_EQ(ResultRows(), (Rows{{L"C:\\b.exe", L"12"}, {L"C:\\a.exe", L"-967296"},
                                 {L"C:\\a.exe", L"7"}}));  // never sorted, duplicates kept

  const HWND list = Handle(C::ResultsList);
  const auto header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
  EXPECT_EQ(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 2);
  const int dpi = ScreenDpi();
  EXPECT_EQ(::SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), std::lround(4428.0 * dpi / 1440));
  EXPECT_EQ(::SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0), std::lround(968.625 * dpi / 1440));
  EXPECT_EQ(::GetWindowLongPtrW(list, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_DOUBLE_EQ(window_.WidthTwips(C::lvwProcess),
                   testing::ExpectedPixels(5535, dpi) * 1440.0 / dpi);
}

TEST_F(MainWindowTest, LogTextShowsLinesSeparatedByCrLf) {
  window_.SetText(C::LogText, "[CLEANUP] one\r\n[CLEANUP] two\r\n");
  EXPECT_EQ(::SendMessageW(Handle(C::LogText), EM_GETLINECOUNT, 0, 0), 3);
}

TEST_F(MainWindowTest, ClosingIsLeftToTheHandlerAndTheLinkShowsTheHandCursor) {
  ::SendMessageW(window_.Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(::IsWindow(window_.Handle()));

  ::SendMessageW(window_.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Handle(C::Label7)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
}

TEST_F(MainWindowTest, KeyboardReachesOnlyWhatIsNotCoveredAndFocusLeavesAHiddenPanel) {
  Show();
  ASSERT_EQ(::GetFocus(), Handle(C::Command1));
  PressKey(VK_RETURN);  // Enter on the focused "Scan"
  ASSERT_EQ(clicks_, std::vector{C::Command1});

  // A panel now covers "Scan", which keeps the focus: neither Enter nor the
  // click that space makes may press it again.
  window_.SetVisible(C::disclaimer, true);
  ASSERT_EQ(::GetFocus(), Handle(C::Command1));
  PressKey(VK_RETURN);
  ::SendMessageW(Handle(C::Command1), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks_, std::vector{C::Command1});

  PressKey(VK_TAB);
  EXPECT_EQ(::GetFocus(), Handle(C::Command4));
  PressKey(VK_RETURN);
  EXPECT_EQ(clicks_, (std::vector{C::Command1, C::Command4}));

  // Hiding the panel that has the focus passes it on in tab order.
  window_.SetVisible(C::disclaimer, false);
  EXPECT_EQ(::GetFocus(), Handle(C::Command1));
}

TEST_F(MainWindowTest, ProgressBarRepaintsThroughTheHandler) {
  Show();
  window_.SetVisible(C::scanstatus, true);
  window_.SetVisible(C::CoolProgress1, true);
  progressPaints_ = 0;
  ::InvalidateRect(Handle(C::CoolProgress1), nullptr, FALSE);
  ::UpdateWindow(Handle(C::CoolProgress1));
  EXPECT_EQ(progressPaints_, 1);
}

}  // namespace
}  // namespace foxbane::win32
