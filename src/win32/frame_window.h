#pragma once

#include <windows.h>

namespace foxbane::win32 {

// The window class of the frames: a plain container that draws an etched
// border and passes its children's notifications (WM_COMMAND, WM_NOTIFY,
// WM_CTLCOLOR*) up to its parent, so they all reach the main window.
// Registered on first use.
const wchar_t* FrameClassName();

}  // namespace foxbane::win32
