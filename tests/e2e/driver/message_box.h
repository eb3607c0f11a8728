#pragma once

#include <chrono>
#include <string>

namespace foxbane::e2e {

// Waits for a message box captioned "Foxbane", reads its text, presses the
// button with id `button` (IDOK, IDYES, IDNO) and waits until the box has
// closed. Returns the text, in UTF-8, exactly as the box shows it; throws
// when no box appears within the time or it has no such button.
std::string ReadAndDismissMessageBox(std::chrono::milliseconds limit, int button);

}  // namespace foxbane::e2e
