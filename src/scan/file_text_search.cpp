#include "scan/file_text_search.h"

#include <span>

namespace foxbane {

using Scope = signatures::ChunkedTextSearch::Scope;

FileTextSearch::FileTextSearch(std::size_t chunkBytes, unsigned processors)
    : search_(chunkBytes), thread_(processors) {}

ErrorCode FileTextSearch::ReadThrough(ReadableFile& file, Scope scope) {
  search_.Restart(scope);
  const signatures::SearchThread::Reading reading(thread_, search_);
  for (std::size_t index = 0;; ++index) {
    const std::span<char> chunk = search_.Chunk(index);
    std::size_t read = 0;
    if (const ErrorCode error = file.Read(chunk, read)) return error;
    if (read < chunk.size()) {
      thread_.AddLast(read);
      return win_error::kSuccess;
    }
    thread_.Add(read);
    if (thread_.Settled()) return win_error::kSuccess;
  }
}

ErrorCode FileTextSearch::Find(ReadableFile& file, signatures::TextSet& found) {
  found = 0;
  // Nearly every file holds no key text, and the search for the keys alone
  // settles it at close to the speed of the reading. A file that holds one
  // is read again from its start, for every text.
  if (const ErrorCode error = ReadThrough(file, Scope::kKeys)) return error;
  if (search_.Found() == 0) return win_error::kSuccess;
  if (const ErrorCode error = file.Rewind()) return error;
  if (const ErrorCode error = ReadThrough(file, Scope::kEveryText)) return error;
  found = search_.Found();
  return win_error::kSuccess;
}

}  // namespace foxbane
