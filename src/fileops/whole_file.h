#pragma once

#include <string>
#include <string_view>

#include "ports/file_system.h"

namespace foxbane {

// Reads the whole file into `bytes`; `bytes` is left empty on failure.
ErrorCode ReadWholeFile(FileSystem& files, std::string_view path, std::string& bytes);

// Creates the file new, writes `bytes` and flushes them to the disk. A file
// that could not be written whole is deleted again.
ErrorCode WriteNewFile(FileSystem& files, std::string_view path, std::string_view bytes);

// Appends whole lines (`lines` ends in "\n") to a file, as OpenForAppend
// opens it, and puts them on the disk before returning. After a last line
// that a stop cut short they start on a line of their own: glued to it, they
// would be skipped with it by every reader of whole lines.
ErrorCode AppendLines(FileSystem& files, std::string_view path, std::string_view lines);

}  // namespace foxbane
