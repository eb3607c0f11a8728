#pragma once

#include <cstddef>
#include <memory>
#include <span>

#include "scan/signature_texts.h"

namespace foxbane::signatures {

// The texts one file holds, found while the file is read piece by piece into
// one buffer. Ahead of each chunk the buffer keeps the last bytes of what
// came before, one fewer than the longest text, so that a text crossing from
// one chunk into the next is found exactly as in one search over the whole
// contents.
class ChunkedTextSearch {
 public:
  // What the search looks for: the key texts alone (kKeyTexts), until one is
  // met, or every text.
  enum class Scope { kKeys, kEveryText };

  // Small enough that a piece the system has just copied in is still in the
  // processor's second-level cache when the search reads it (256 KiB and
  // more on the processors of the last years): larger pieces leave it
  // between the two, smaller ones cost more calls to the system than they
  // save (read_path_bench times the pass at each size).
  static constexpr std::size_t kDefaultChunkBytes = std::size_t{256} << 10;

  // `chunkBytes` (at least 1) is the most that one read adds.
  explicit ChunkedTextSearch(std::size_t chunkBytes = kDefaultChunkBytes);

  // Forgets what an earlier file, or an earlier reading of this one, held.
  void Restart(Scope scope);
  // Where the next chunk is read to. The memory is taken on first use, never
  // filled in advance, and kept: taken anew for every scan, its pages would
  // each be faulted in again, at a cost that comes close to the search's.
  std::span<char> Chunk();
  // Searches the first `bytes` of Chunk() together with what is carried
  // over from before.
  void Add(std::size_t bytes);
  // The texts met so far. Rule 1 wins over every other, so once it holds
  // the rest of the file is not searched and later texts may be missing.
  TextSet Found() const { return found_; }
  // Whether the rest of the file can tell nothing more: a key text has been
  // met by a search for the keys alone.
  bool Settled() const { return scope_ == Scope::kKeys && found_ != 0; }

 private:
  std::size_t chunkBytes_;
  std::unique_ptr<char[]> buffer_;  // the carry's room, then the chunk
  std::size_t carried_ = 0;         // bytes carried over, just ahead of the chunk
  Scope scope_ = Scope::kEveryText;
  TextSet found_ = 0;
};

}  // namespace foxbane::signatures
