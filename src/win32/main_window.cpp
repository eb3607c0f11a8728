#include "win32/main_window.h"

#include <commctrl.h>

#include <cmath>
#include <stdexcept>
#include <string>

#include "win32/control_ids.h"
#include "win32/frame_window.h"
#include "win32/resource.h"
#include "win32/tab_order.h"
#include "win32/text.h"
#include "win32/window_base.h"

namespace foxbane::win32 {

namespace {

constexpr wchar_t kMainClass[] = L"FoxbaneWindow";
// A fixed single border with a close box and a minimise box: the layout has
// one size, so the window can be neither resized nor maximised.
constexpr DWORD kMainStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

int ScreenDpi() {
  UniqueWindowDc screen(WindowDc{nullptr, ::GetDC(nullptr)});
  if (!screen.Get().dc) ThrowLastError("GetDC(screen)");
  return ::GetDeviceCaps(screen.Get().dc, LOGPIXELSY);
}

DWORD LabelStyle(const ControlSpec& spec) {
  if (spec.centred) return SS_CENTER;
  return spec.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP;
}

struct ControlClass {
  const wchar_t* name;
  DWORD style;
  DWORD extendedStyle;
};

ControlClass ClassFor(const ControlSpec& spec) {
  switch (spec.kind) {
    case ControlKind::Frame:
      return {FrameClassName(), WS_CLIPCHILDREN, 0};
    case ControlKind::Label:
      return {L"STATIC", SS_NOPREFIX | LabelStyle(spec), 0};
    case ControlKind::LinkLabel:
      return {L"STATIC", SS_NOPREFIX | SS_NOTIFY | SS_LEFTNOWORDWRAP, 0};
    case ControlKind::Button:
      return {L"BUTTON", BS_PUSHBUTTON, 0};
    case ControlKind::TextBox:
      return {L"EDIT", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::ListView:
      // No LVS_SORT*: rows keep the position they were added at.
      return {WC_LISTVIEWW, LVS_REPORT, WS_EX_CLIENTEDGE};
    case ControlKind::FileListBox:
      // Without integral height the box keeps exactly its laid-out size.
      return {L"LISTBOX", LBS_NOINTEGRALHEIGHT | WS_VSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::ProgressBar:
      break;
  }
  throw std::logic_error("control kind has no standard window class");
}

std::size_t IndexOf(ControlId control) { return static_cast<std::size_t>(control); }

// Children stack in the layout's order: each new one goes below those before it.
void PlaceAtBottom(HWND control) {
  ::SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace

Win32Window::Win32Window(HINSTANCE instance)
    : dpi_(ScreenDpi()), fonts_(dpi_), controls_(MainWindowControls().size(), nullptr) {
  INITCOMMONCONTROLSEX common{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
  ::InitCommonControlsEx(&common);
  // Icons loaded with LoadIcon are shared by the system and never destroyed.
  RegisterWindowClass({kMainClass, OwnedWindowProcedure<Win32Window>,
                       ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_FOXBANE)),
                       reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)});

  RECT frame{0, 0, Pixels(window_layout::kClientWidthTwips),
             Pixels(window_layout::kClientHeightTwips)};
  ::AdjustWindowRectEx(&frame, kMainStyle, FALSE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  window_.Reset(::CreateWindowExW(0, kMainClass, Wide(window_layout::kTitle).c_str(), kMainStyle,
                                  left, top, width, height, nullptr, nullptr, instance, this));
  if (!window_) ThrowLastError("CreateWindowExW(main window)");
  CreateControls(instance);
}

void Win32Window::CreateControls(HINSTANCE instance) {
  for (const ControlSpec& spec : MainWindowControls()) {
    HWND control = nullptr;
    if (spec.kind == ControlKind::ProgressBar) {
      progress_.emplace(ControlHandle(*spec.parent), PixelRect(spec.rect));
      progress_->OnPaint([this] {
        if (handlers_.paintProgress) handlers_.paintProgress();
      });
      control = progress_->Handle();
      ::SetWindowLongPtrW(control, GWLP_ID, ChildIdOf(spec.id));
      if (spec.visibleAtStart) ::ShowWindow(control, SW_SHOWNA);
    } else {
      control = CreateControl(spec, instance);
    }
    PlaceAtBottom(control);
    controls_[IndexOf(spec.id)] = control;
  }
}

HWND Win32Window::CreateControl(const ControlSpec& spec, HINSTANCE instance) {
  const ControlClass controlClass = ClassFor(spec);
  const RECT place = PixelRect(spec.rect);
  const HWND parent = spec.parent ? ControlHandle(*spec.parent) : window_.Get();
  const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | controlClass.style |
                      (spec.visibleAtStart ? WS_VISIBLE : 0);
  const HWND control = ::CreateWindowExW(
      controlClass.extendedStyle, controlClass.name, Wide(spec.caption).c_str(), style, place.left,
      place.top, place.right - place.left, place.bottom - place.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(ChildIdOf(spec.id))), instance, nullptr);
  if (!control) ThrowLastError("CreateWindowExW(" + std::string(spec.name) + ")");
  ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.For(spec.font)), FALSE);
  return control;
}

void Win32Window::Connect(WindowHandlers handlers) { handlers_ = std::move(handlers); }

void Win32Window::ShowOnScreen(int showCommand) {
  ::ShowWindow(window_.Get(), showCommand);
  ::UpdateWindow(window_.Get());
  MoveFocus(std::nullopt, true);
}

bool Win32Window::TranslateNavigationKey(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  if (message.hwnd != window_.Get() && !::IsChild(window_.Get(), message.hwnd)) return false;
  if (message.wParam == VK_TAB) {
    MoveFocus(ControlOf(::GetFocus()), ::GetKeyState(VK_SHIFT) >= 0);
    return true;
  }
  if (message.wParam == VK_RETURN) {
    const std::optional<ControlId> control = ControlOf(message.hwnd);
    if (control && SpecOf(*control).kind == ControlKind::Button) {
      DeliverClick(*control);
      return true;
    }
  }
  return false;
}

HWND Win32Window::ControlHandle(ControlId control) const { return controls_.at(IndexOf(control)); }

void Win32Window::SetVisible(ControlId control, bool visible) {
  const HWND handle = ControlHandle(control);
  const HWND focus = ::GetFocus();
  const bool hidesFocus = !visible && (focus == handle || ::IsChild(handle, focus));
  // SW_SHOWNA: showing a panel must not activate anything.
  ::ShowWindow(handle, visible ? SW_SHOWNA : SW_HIDE);
  // Windows hands the focus of a hidden control to its parent frame, where no
  // key does anything; pass it on in tab order instead.
  if (hidesFocus) MoveFocus(ControlOf(focus).value_or(control), true);
}

void Win32Window::SetText(ControlId control, std::string_view text) {
  const HWND handle = ControlHandle(control);
  ::SetWindowTextW(handle, Wide(text).c_str());
  if (control == ControlId::LogText) {
    // The newest entries are the ones to read: keep them in view.
    const auto end = static_cast<WPARAM>(::GetWindowTextLengthW(handle));
    ::SendMessageW(handle, EM_SETSEL, end, static_cast<LPARAM>(end));
    ::SendMessageW(handle, EM_SCROLLCARET, 0, 0);
  }
}

void Win32Window::FocusControl(ControlId control) { ::SetFocus(ControlHandle(control)); }

double Win32Window::WidthTwips(ControlId control) {
  RECT place;
  ::GetWindowRect(ControlHandle(control), &place);
  return (place.right - place.left) * double{window_layout::kTwipsPerInch} / dpi_;
}

void Win32Window::ClearRows(ControlId list) {
  ::SendMessageW(ControlHandle(list), LVM_DELETEALLITEMS, 0, 0);
}

void Win32Window::SetColumns(ControlId list, std::span<const ListColumn> columns) {
  const HWND handle = ControlHandle(list);
  while (::SendMessageW(handle, LVM_DELETECOLUMN, 0, 0)) {
  }
  int index = 0;
  for (const ListColumn& column : columns) {
    std::wstring caption = Wide(column.caption);
    LVCOLUMNW header{};
    header.mask = LVCF_TEXT | LVCF_WIDTH;
    header.pszText = caption.data();
    header.cx = Pixels(column.widthTwips);
    ::SendMessageW(handle, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index++),
                   reinterpret_cast<LPARAM>(&header));
  }
}

void Win32Window::AppendRow(ControlId list, std::string_view text, std::string_view pidText) {
  const HWND handle = ControlHandle(list);
  std::wstring itemText = Wide(text);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = static_cast<int>(::SendMessageW(handle, LVM_GETITEMCOUNT, 0, 0));
  item.pszText = itemText.data();
  const auto row = ::SendMessageW(handle, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  if (row < 0) throw std::runtime_error("LVM_INSERTITEMW failed");
  std::wstring pid = Wide(pidText);
  LVITEMW subitem{};
  subitem.iSubItem = 1;
  subitem.pszText = pid.data();
  ::SendMessageW(handle, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&subitem));
}

int Win32Window::Pixels(double twips) const {
  return static_cast<int>(std::lround(twips * dpi_ / window_layout::kTwipsPerInch));
}

RECT Win32Window::PixelRect(const TwipsRect& twips) const {
  const int left = Pixels(twips.left);
  const int top = Pixels(twips.top);
  return {left, top, left + Pixels(twips.width), top + Pixels(twips.height)};
}

bool Win32Window::Shown(ControlId control) const {
  for (const ControlSpec* spec = &SpecOf(control);;
       spec = &SpecOf(*spec->parent)) {
    if (!(::GetWindowLongPtrW(ControlHandle(spec->id), GWL_STYLE) & WS_VISIBLE)) return false;
    if (!spec->parent) return true;
  }
}

std::optional<ControlId> Win32Window::ControlOf(HWND window) const {
  for (std::size_t index = 0; index < controls_.size(); ++index) {
    if (controls_[index] == window && window != nullptr) return static_cast<ControlId>(index);
  }
  return std::nullopt;
}

void Win32Window::MoveFocus(std::optional<ControlId> from, bool forward) {
  const std::optional<ControlId> next =
      NextInTabOrder(from, forward, [this](ControlId control) { return Shown(control); });
  if (next) ::SetFocus(ControlHandle(*next));
}

// A button that a shown panel covers cannot be clicked, but it can still hold
// the focus (the "Scan" button keeps it when its panel comes up); Enter or
// space there must not run its handler either.
void Win32Window::DeliverClick(ControlId control) {
  if (IsCovered(control, [this](ControlId other) { return Shown(other); })) return;
  if (handlers_.click) handlers_.click(control);
}

LRESULT Win32Window::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      // BN_CLICKED and STN_CLICKED share the code 0.
      const std::optional<ControlId> control = ControlOf(reinterpret_cast<HWND>(lParam));
      if (HIWORD(wParam) == BN_CLICKED && control) {
        const ControlKind kind = SpecOf(*control).kind;
        if (kind == ControlKind::Button || kind == ControlKind::LinkLabel) DeliverClick(*control);
      }
      return 0;
    }
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == ControlHandle(ControlId::Label7)) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) focusWhenDeactivated_ = ::GetFocus();
      break;
    case WM_SETFOCUS: {
      // Back from another window: the control that had the focus gets it
      // again, or the next one if it was hidden meanwhile.
      const std::optional<ControlId> last = ControlOf(focusWhenDeactivated_);
      if (last && Shown(*last)) {
        ::SetFocus(focusWhenDeactivated_);
      } else {
        MoveFocus(last, true);
      }
      return 0;
    }
    case WM_CLOSE:
      if (handlers_.close) handlers_.close();
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace foxbane::win32
