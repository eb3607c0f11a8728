#pragma once

#include <string>
#include <string_view>

// Why some of what a pass found is still where it was; the reasons combine
// as bits. The user is told each reason once, in one message at the end of
// the pass.
namespace foxbane::left_behind {

using Reasons = unsigned;
inline constexpr Reasons kNone = 0;
inline constexpr Reasons kNotKept = 1;     // no copy could be kept, so it was not touched
inline constexpr Reasons kNotRemoved = 2;  // kept, but the system would not remove it
inline constexpr Reasons kAtRestart = 4;   // kept, in use: Windows removes it when it restarts
// Not kept either: the quarantine's folder is one that programs not running
// as an administrator could change.
inline constexpr Reasons kQuarantineUnsafe = 8;

// The message for `reasons`: one paragraph a reason, in a fixed order.
std::string Message(Reasons reasons, std::string_view quarantineFolder);

}  // namespace foxbane::left_behind
