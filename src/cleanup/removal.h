#pragma once

#include <memory>
#include <string_view>

#include "ports/file_system.h"

namespace foxbane {

// Opens what the cleanup is about to remove, once, and holds it to what was
// checked before (see OpenChecked): for a detected file also to the file the
// scan read, when `scanned` is given. kRemove, or kRead for one in use. kUntrusted for anything
// else, which then stays: a skipped step, never a removal somewhere else.
ErrorCode OpenForRemoval(FileSystem& files, std::string_view path, bool folder,
                         const FileIdentity* scanned, ItemAccess access,
                         std::unique_ptr<FileItem>& item);

// Deletes through the item and closes it; true once nothing is left at
// `path` (another program may hold it open still, and so keep it there).
bool RemoveThrough(FileSystem& files, std::unique_ptr<FileItem>& item, std::string_view path);

}  // namespace foxbane
