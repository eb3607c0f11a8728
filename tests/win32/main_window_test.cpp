// The window adapter in this process, where its fonts, list rows and event
// delivery can be read directly.

#include "win32/main_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

#include "app/control_table.h"
#include "win32/event_loop.h"
#include "win32/text.h"
#include "win32/user_messages.h"
#include "running_program.h"
#include "window_probe.h"

namespace foxbane::win32 {
namespace {

using C = ControlId;
using testing::ScreenDpi;
using testing::TextOf;

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() : window_(::GetModuleHandleW(nullptr)), loop_(window_) {
    window_.Connect({
        .click = [this](ControlId control) { clicks_.push_back(control); },
        .paintProgress = [this] { ++progressPaints_; },
        .close = [this] { ++closeRequests_; },
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

  std::wstring ItemText(ControlId list, int row, int column) {
    wchar_t buffer[256] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 256;
    ::SendMessageW(Handle(list), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
    return buffer;
  }

  Win32Window window_;
  Win32EventLoop loop_;
  std::vector<ControlId> clicks_;
  int progressPaints_ = 0;
  int closeRequests_ = 0;
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
    EXPECT_FALSE(logFont.lfItalic);
    EXPECT_FALSE(logFont.lfStrikeOut);
  }
}

TEST_F(MainWindowTest, ListRowsAppendInOrderWithThePidAsSecondColumn) {
  const std::vector<ListColumn> earlier{{"One", 1500}, {"Two", 1500}, {"Three", 1500}};
  const std::vector<ListColumn> columns{{"Process", 4428}, {"PID", 968.625}};
  window_.SetColumns(C::ResultsList, earlier);
  window_.SetColumns(C::ResultsList, columns);  // replaces them
  window_.AppendRow(C::ResultsList, "C:\\b.exe", "12");
  window_.AppendRow(C::ResultsList, "C:\\a.exe", "-967296");
  window_.AppendRow(C::ResultsList, "C:\\a.exe", "7");

  const HWND list = Handle(C::ResultsList);
  ASSERT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(ItemText(C::ResultsList, 0, 0), L"C:\\b.exe");  // never sorted
  EXPECT_EQ(ItemText(C::ResultsList, 1, 0), L"C:\\a.exe");
  EXPECT_EQ(ItemText(C::ResultsList, 1, 1), L"-967296");
  EXPECT_EQ(ItemText(C::ResultsList, 2, 0), L"C:\\a.exe");  // duplicates kept
  EXPECT_EQ(ItemText(C::ResultsList, 2, 1), L"7");

  const auto header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
  EXPECT_EQ(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 2);
  const int dpi = ScreenDpi();
  EXPECT_EQ(::SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), std::lround(4428.0 * dpi / 1440));
  EXPECT_EQ(::SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0), std::lround(968.625 * dpi / 1440));
  EXPECT_EQ(::GetWindowLongPtrW(list, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);

  window_.ClearRows(C::ResultsList);
  EXPECT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
  window_.AppendRow(C::ResultsList, "C:\\c.exe", "1");
  EXPECT_EQ(ItemText(C::ResultsList, 0, 0), L"C:\\c.exe");
}

TEST_F(MainWindowTest, WidthInTwipsIsThePixelWidthAtTheDisplaysDpi) {
  const int dpi = ScreenDpi();
  EXPECT_DOUBLE_EQ(window_.WidthTwips(C::lvwProcess),
                   testing::ExpectedPixels(5535, dpi) * 1440.0 / dpi);
}

TEST_F(MainWindowTest, LogTextShowsLinesSeparatedByCrLf) {
  window_.SetText(C::LogText, "[CLEANUP] one\r\n[CLEANUP] two\r\n");
  EXPECT_EQ(TextOf(Handle(C::LogText)), L"[CLEANUP] one\r\n[CLEANUP] two\r\n");
  EXPECT_EQ(::SendMessageW(Handle(C::LogText), EM_GETLINECOUNT, 0, 0), 3);
  window_.SetText(C::Label5, "Scanning All Running Processes...");
  EXPECT_EQ(TextOf(Handle(C::Label5)), L"Scanning All Running Processes...");
}

TEST_F(MainWindowTest, ClicksOnButtonsAndTheLinkReachTheHandler) {
  ::SendMessageW(Handle(C::Command1), BM_CLICK, 0, 0);
  ::SendMessageW(window_.Handle(), WM_COMMAND,
                 MAKEWPARAM(::GetDlgCtrlID(Handle(C::Label7)), STN_CLICKED),
                 reinterpret_cast<LPARAM>(Handle(C::Label7)));
  window_.SetVisible(C::disclaimer, true);
  ::SendMessageW(Handle(C::Command4), BM_CLICK, 0, 0);  // inside two frames
  EXPECT_EQ(clicks_, (std::vector{C::Command1, C::Label7, C::Command4}));
}

TEST_F(MainWindowTest, LinkShowsTheHandCursor) {
  ::SendMessageW(window_.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Handle(C::Label7)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
}

TEST_F(MainWindowTest, KeyboardReachesOnlyWhatIsNotCovered) {
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
}

TEST_F(MainWindowTest, HidingThePanelWithTheFocusPassesItOnInTabOrder) {
  Show();
  window_.SetVisible(C::disclaimer, true);
  window_.FocusControl(C::Command4);
  window_.SetVisible(C::disclaimer, false);
  EXPECT_EQ(::GetFocus(), Handle(C::Command1));
}

TEST_F(MainWindowTest, ClosingAsksTheHandlerAndKeepsTheWindow) {
  ::SendMessageW(window_.Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(closeRequests_, 1);
  EXPECT_TRUE(::IsWindow(window_.Handle()));
}

TEST_F(MainWindowTest, ProgressBarRepaintsThroughTheHandler) {
  Show();
  window_.SetVisible(C::scanstatus, true);
  window_.SetVisible(C::CoolProgress1, true);
  progressPaints_ = 0;
  ::InvalidateRect(Handle(C::CoolProgress1), nullptr, FALSE);
  ::UpdateWindow(Handle(C::CoolProgress1));
  EXPECT_EQ(progressPaints_, 1);
  EXPECT_DOUBLE_EQ(window_.ProgressSurface().WidthTwips(),
                   testing::ExpectedPixels(6015, ScreenDpi()) * 1440.0 / ScreenDpi());
}

TEST_F(MainWindowTest, MessageBoxIsCaptionedWithTheTitleAndShowsTheText) {
  std::wstring seenText;
  std::thread dismisser([&] {
    HWND box = nullptr;
    testing::WaitUntil([&] { return (box = ::FindWindowW(L"#32770", L"Foxbane")) != nullptr; });
    if (!box) return;
    seenText = TextOf(::GetDlgItem(box, 0xFFFF));  // the message's static control
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  Win32UserMessages(window_.Handle()).ShowModal("Invalid handle.\r\n");
  dismisser.join();
  EXPECT_EQ(seenText, L"Invalid handle.\r\n");
}

}  // namespace
}  // namespace foxbane::win32
