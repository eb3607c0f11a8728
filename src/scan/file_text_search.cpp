#include "scan/file_text_search.h"

#include <span>

namespace foxbane {

namespace {

using Scope = signatures::ChunkedTextSearch::Scope;

// Reads on until the file ends or the search is settled.
ErrorCode ReadThrough(ReadableFile& file, signatures::ChunkedTextSearch& search, Scope scope) {
  search.Restart(scope);
  for (;;) {
    const std::span<char> chunk = search.Chunk();
    std::size_t read = 0;
    if (const ErrorCode error = file.Read(chunk, read)) return error;
    search.Add(read);
    if (read < chunk.size() || search.Settled()) return win_error::kSuccess;
  }
}

}  // namespace

ErrorCode FindTextsInFile(ReadableFile& file, signatures::ChunkedTextSearch& search,
                          signatures::TextSet& found) {
  found = 0;
  // Nearly every file holds no key text, and the search for the keys alone
  // settles it at close to the speed of the reading. A file that holds one
  // is read again from its start, for every text.
  if (const ErrorCode error = ReadThrough(file, search, Scope::kKeys)) return error;
  if (search.Found() == 0) return win_error::kSuccess;
  if (const ErrorCode error = file.Rewind()) return error;
  if (const ErrorCode error = ReadThrough(file, search, Scope::kEveryText)) return error;
  found = search.Found();
  return win_error::kSuccess;
}

}  // namespace foxbane
