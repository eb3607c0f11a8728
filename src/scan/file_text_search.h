#pragma once

#include "ports/file_system.h"
#include "scan/chunked_text_search.h"

namespace foxbane {

// The texts `file` holds, read from where it stands to its end a chunk at a
// time into `search`'s buffer, each chunk searched while it is still in the
// processor's cache. `found` is nothing unless the file holds a key text
// (kKeyTexts), and then every text it holds, up to the rule-1 texts: the same
// first matching rule as a search of the whole file for every text. Only a
// file read to its end counts: after a failure `found` is nothing.
ErrorCode FindTextsInFile(ReadableFile& file, signatures::ChunkedTextSearch& search,
                          signatures::TextSet& found);

}  // namespace foxbane
