#pragma once

#include <memory>
#include <string_view>

#include "scan/file_text_search.h"
#include "sim/faults.h"
#include "sim/sim_open_files.h"

namespace foxbane::test_support {

// What the scan finds in a file holding `contents`, read a chunk at a time
// as the scan reads it.
inline signatures::TextSet FoundInChunks(FileTextSearch& search, std::string_view contents) {
  sim::Faults faults;  // none: the file reads to its end
  const auto data = std::make_shared<sim::SimFileData>();
  data->bytes = contents;
  sim::SimReadableFile file(faults, "C:\\file.exe", data, FileIdentity{});
  signatures::TextSet found = 0;
  static_cast<void>(search.Find(file, found));
  return found;
}

// The same with chunks of `chunk` bytes, searched on a thread of their own
// as on a machine with more than one processor.
inline signatures::TextSet FoundInChunks(std::string_view contents, std::size_t chunk) {
  FileTextSearch search(chunk, 2);
  return FoundInChunks(search, contents);
}

}  // namespace foxbane::test_support
