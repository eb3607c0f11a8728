#pragma once

#include <cstddef>
#include <thread>

#include "ports/file_system.h"
#include "scan/chunked_text_search.h"
#include "scan/search_thread.h"

namespace foxbane {

// The texts each file holds, read from where it stands to its end a chunk at
// a time, each chunk searched while the next is read and while it is still in
// the processor's cache.
class FileTextSearch {
 public:
  explicit FileTextSearch(
      std::size_t chunkBytes = signatures::ChunkedTextSearch::kDefaultChunkBytes,
      unsigned processors = std::thread::hardware_concurrency());

  // `found` is nothing unless the file holds a key text (kKeyTexts), and then
  // every text it holds, up to the rule-1 texts: the same first matching rule
  // as a search of the whole file for every text. Only a file read to its end
  // counts: after a failure `found` is nothing.
  ErrorCode Find(ReadableFile& file, signatures::TextSet& found);

 private:
  // Reads on until the file ends or the search is settled.
  ErrorCode ReadThrough(ReadableFile& file, signatures::ChunkedTextSearch::Scope scope);

  signatures::ChunkedTextSearch search_;
  signatures::SearchThread thread_;
};

}  // namespace foxbane
