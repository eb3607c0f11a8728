#pragma once

#include <memory>
#include <string_view>

#include "scan/chunked_text_search.h"
#include "scan/file_text_search.h"
#include "sim/faults.h"
#include "sim/sim_open_files.h"

namespace foxbane::test_support {

// What the scan finds in a file holding `contents`, read a chunk of
// `search`'s size at a time as the scan reads it.
inline signatures::TextSet FoundInChunks(signatures::ChunkedTextSearch& search,
                                         std::string_view contents) {
  sim::Faults faults;  // none: the file reads to its end
  const auto data = std::make_shared<sim::SimFileData>();
  data->bytes = contents;
  sim::SimReadableFile file(faults, "C:\\file.exe", data, FileIdentity{});
  signatures::TextSet found = 0;
  static_cast<void>(FindTextsInFile(file, search, found));
  return found;
}

inline signatures::TextSet FoundInChunks(std::string_view contents, std::size_t chunk) {
  signatures::ChunkedTextSearch search(chunk);
  return FoundInChunks(search, contents);
}

}  // namespace foxbane::test_support
