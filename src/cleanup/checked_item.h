#pragma once

#include <memory>
#include <string_view>

#include "ports/file_system.h"

namespace foxbane {

// What a check of an item refuses with: it is there, but not as it must be.
// (Bit 29 marks an error code as the application's own.)
inline constexpr ErrorCode kUntrusted = 0x20000001;

// The same path, compared as Windows compares names.
bool SamePath(std::string_view a, std::string_view b);

// Opens the file or folder at `path` once, on itself (FileItem), and checks
// on that handle that it is what the path names: no link (on its own path,
// where Wine shows one, nor on the handle), a folder or a file as `folder`
// says, a file with no second name elsewhere, and really at `path` (a link
// on the way would have led it elsewhere). kUntrusted otherwise.
ErrorCode OpenChecked(FileSystem& files, std::string_view path, bool folder, ItemAccess access,
                      std::unique_ptr<FileItem>& item, ItemFacts& facts);

}  // namespace foxbane
