#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ports/profile_files.h"
#include "sim/faults.h"
#include "sim/profile_contents.h"
#include "sim/sim_file_system.h"

namespace foxbane::sim {

// The Windows profile functions over files of the sim file system, named by
// full path. The files hold UTF-8 text; Windows would write new files in the
// ANSI code page, which is the same for ASCII.
// Every operation can be made to fail through Faults
// ("ProfileFiles.ReadString"...), with the file's path as subject: a read
// then behaves as for a file that cannot be opened, a write returns false.
class SimProfileFiles : public ProfileFiles {
 public:
  SimProfileFiles(Faults& faults, SimFileSystem& files) : faults_(faults), files_(files) {}

  std::uint32_t ReadString(std::string_view file, std::string_view section,
                           std::string_view entry, std::string_view defaultText,
                           std::uint32_t capacity, std::string& text) override;
  std::int32_t ReadInt(std::string_view file, std::string_view section, std::string_view entry,
                       std::int32_t defaultValue) override;
  std::uint32_t ReadSection(std::string_view file, std::string_view section,
                            std::string& buffer) override;
  bool WriteString(std::string_view file, std::string_view section, std::string_view entry,
                   std::optional<std::string_view> text) override;

 private:
  // The contents a read sees: none for a missing file, a folder, or a read
  // made to fail.
  std::optional<ProfileContents> ContentsFor(std::string_view operation,
                                             std::string_view file) const;

  Faults& faults_;
  SimFileSystem& files_;
};

}  // namespace foxbane::sim
