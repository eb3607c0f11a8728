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

// Appends text to a file (as OpenForAppend opens it) and puts it on the disk
// before returning.
ErrorCode AppendAndFlush(FileSystem& files, std::string_view path, std::string_view text);

}  // namespace foxbane
