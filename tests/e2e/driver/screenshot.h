#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>

#include "driver/foxbane_window.h"

namespace foxbane::e2e {

// Writes what the screen shows of the window's client area as a 24-bit BMP file.
void SaveScreenshot(HWND window, const std::filesystem::path& file);

// Clicks "Scan" and saves the screenshot taken while the pass runs with its
// progress bar part-filled; throws when the screen shows no such moment
// within the time. A pass long enough to be seen needs a few large
// executables among the processes.
void ScreenshotDuringScan(const FoxbaneWindow& window, const std::filesystem::path& file,
                          std::chrono::milliseconds limit);

}  // namespace foxbane::e2e
