#pragma once

#include <chrono>
#include <string>

namespace foxbane::e2e {

// Waits for a message box captioned "Foxbane", reads its text, presses its
// OK button and waits until the box has closed. Returns the text, in UTF-8,
// exactly as the box shows it; throws when no box appears within the time.
std::string ReadAndDismissMessageBox(std::chrono::milliseconds limit);

}  // namespace foxbane::e2e
