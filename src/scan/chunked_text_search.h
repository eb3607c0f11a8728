#pragma once

#include <cstddef>
#include <memory>
#include <span>

#include "scan/signature_texts.h"

namespace foxbane::signatures {

// The texts one file holds, found while the file is read piece by piece.
// The chunks take turns between two halves of one buffer, so that the next
// chunk can be read into one half while the other is searched. Ahead of each
// chunk its half keeps the last bytes of what came before, one fewer than
// the longest text, so that a text crossing from one chunk into the next is
// found exactly as in one search over the whole contents.
class ChunkedTextSearch {
 public:
  // What the search looks for: the key texts alone (kKeyTexts), until one is
  // met, or every text.
  enum class Scope { kKeys, kEveryText };

  // Large enough that handing a chunk from the reading to the search costs
  // little beside it, small enough that both halves stay in the processor's
  // last-level cache between the read and the search (read_path_bench times
  // the pass at each size).
  static constexpr std::size_t kDefaultChunkBytes = std::size_t{1} << 20;

  // `chunkBytes` (at least 1) is the most that one read adds.
  explicit ChunkedTextSearch(std::size_t chunkBytes = kDefaultChunkBytes);

  // Forgets what an earlier file, or an earlier reading of this one, held.
  void Restart(Scope scope);
  // Where the file's chunk number `index` (0 for the first since Restart) is
  // read to. Chunk `index + 2` shares its memory, so it may be read only once
  // Add has taken chunk `index`. The memory is taken on first use, never
  // filled in advance, and kept: taken anew for every scan, its pages would
  // each be faulted in again, at a cost that comes close to the search's.
  std::span<char> Chunk(std::size_t index);
  // Searches the first `bytes` of the next chunk in turn, together with what
  // is carried over from before. Touches no part of the other chunk's
  // memory that a read fills.
  void Add(std::size_t bytes);
  // The texts met so far. Rule 1 wins over every other, so once it holds
  // the rest of the file is not searched and later texts may be missing.
  TextSet Found() const { return found_; }
  // Whether the rest of the file can tell nothing more: a key text has been
  // met by a search for the keys alone.
  bool Settled() const { return scope_ == Scope::kKeys && found_ != 0; }

 private:
  // One half: the carry's room, then the chunk.
  char* Half(std::size_t index) const;

  std::size_t chunkBytes_;
  std::unique_ptr<char[]> buffer_;  // the two halves
  std::size_t added_ = 0;           // chunks searched since Restart
  std::size_t carried_ = 0;         // bytes carried over, just ahead of the next chunk
  Scope scope_ = Scope::kEveryText;
  TextSet found_ = 0;
};

}  // namespace foxbane::signatures
