#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cleanup/checked_item.h"
#include "ports/environment.h"
#include "ports/file_system.h"

namespace foxbane {

// The quarantine's folder, "Foxbane\Quarantine" in the program data folder,
// and what is in it, trusted only as far as it is checked: Foxbane runs as
// an administrator, and anything a lesser program could have written there
// would steer what it removes and puts back.
class TrustedFolder {
 public:
  TrustedFolder(FileSystem& files, Environment& environment)
      : files_(files), environment_(environment) {}
  TrustedFolder(const TrustedFolder&) = delete;
  TrustedFolder& operator=(const TrustedFolder&) = delete;

  // "C:\ProgramData\Foxbane\Quarantine".
  static std::string Path(Environment& environment);

  // Opens the folder and each above it up to the program data folder (which
  // belongs to the system), making those missing when asked to, only
  // administrators able to change them. Each must pass OpenChecked and be
  // owned and changeable by administrators only (kUntrusted otherwise). They stay open (on Windows,
  // nobody can rename them meanwhile).
  ErrorCode Open(bool create);

  // Opens a file or folder in the quarantine (`relative` below it) and checks
  // it as above: nothing else is taken for it.
  ErrorCode OpenInside(std::string_view relative, bool folder, ItemAccess access,
                       std::unique_ptr<FileItem>& item);
  // Reads a file of the quarantine whole, once it is checked.
  ErrorCode ReadInside(std::string_view relative, std::string& bytes);

  // The key of the journals' seals (see JournalSeal), made once when asked
  // to: random bytes in a file of the quarantine, which only administrators
  // can read. False when there is none, or it is not as made.
  bool JournalKey(bool create, std::string& key);

 private:
  ErrorCode OpenAdminOnly(const std::string& path, bool folder, ItemAccess access,
                          std::unique_ptr<FileItem>& item);

  FileSystem& files_;
  Environment& environment_;
  std::vector<std::unique_ptr<FileItem>> held_;
};

}  // namespace foxbane
