#pragma once

#include <string_view>

// The texts the window shows. The log lines live with the code that writes them.
namespace foxbane::texts {

inline constexpr std::string_view kNothingFound = "No MarbleFox processes detected.";
inline constexpr std::string_view kGettingProcessList = "Getting List of Running Processes...";
inline constexpr std::string_view kScanningProcesses = "Scanning All Running Processes...";
inline constexpr std::string_view kDescription =
    "Foxbane will scan all running programs, terminate any that are detected as a MarbleFox "
    "variant, and clean up any remnants.";
inline constexpr std::string_view kNotKept =
    "Foxbane could not keep a copy of some of what it was about to remove, so it left those "
    "items where they are.\n\nMake room on the disk, and scan again.";
inline constexpr std::string_view kNotRemoved =
    "Foxbane could not remove some of what it found, so those items are still there.\n\n"
    "Restart Windows and scan again.";
inline constexpr std::string_view kAtRestart =
    "Some of what Foxbane removed was in use by another program. Foxbane kept a copy of it, and "
    "Windows will delete it when the computer next restarts: restart the computer to finish the "
    "cleanup.";
// Followed by the folder's path and a full stop.
inline constexpr std::string_view kQuarantineNotSafe =
    "Foxbane removed nothing that it would have had to keep a copy of: programs that do not run "
    "as an administrator could change the folder where it keeps those copies, ";
inline constexpr std::string_view kCopyright = "Copyright (C) 2004 Foxbane Team";
inline constexpr std::string_view kDisclaimer =
    "DISCLAIMER OF WARRANTY: Foxbane is provided free of charge, on an \"as is\" basis, without "
    "warranty of any kind, express or implied, including without limitation any warranty of "
    "merchantability, fitness for a particular purpose or non-infringement. The entire risk as "
    "to the quality and performance of the program lies with you. By using Foxbane you agree "
    "that neither its author nor its distributors shall be held responsible or liable for any "
    "problem, loss of data, damage to your computer or its software, or any other damage, "
    "direct or indirect, arising out of the use of or the inability to use this program, even "
    "if they have been advised of the possibility of such damage. You take full responsibility "
    "for everything the program does on your computer, including the processes it terminates "
    "and the files and registry entries it removes. If you do not agree with these terms, do "
    "not use the program. Use it at your own risk.";

}  // namespace foxbane::texts
