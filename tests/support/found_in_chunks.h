#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <string_view>

#include "scan/chunked_text_search.h"

namespace foxbane::test_support {

// What `search` finds in a file holding `contents` when it is read `chunk`
// bytes at a time, as the scan reads it (the search's own chunk size).
inline signatures::TextSet FoundInChunks(signatures::ChunkedTextSearch& search,
                                         std::string_view contents) {
  search.Restart();
  for (;;) {
    const std::span<char> into = search.Chunk();
    const std::size_t added = std::min(into.size(), contents.size());
    std::copy_n(contents.begin(), added, into.begin());
    contents.remove_prefix(added);
    search.Add(added);
    if (added < into.size()) return search.Found();
  }
}

inline signatures::TextSet FoundInChunks(std::string_view contents, std::size_t chunk) {
  signatures::ChunkedTextSearch search(chunk);
  return FoundInChunks(search, contents);
}

}  // namespace foxbane::test_support
