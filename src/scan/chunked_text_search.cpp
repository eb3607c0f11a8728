#include "scan/chunked_text_search.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "scan/text_search.h"

namespace foxbane::signatures {

namespace {

// A text that ends in a chunk begins at most this many bytes before it.
constexpr std::size_t kCarry = [] {
  std::size_t longest = 0;
  for (const std::u16string_view text : kTexts) longest = std::max(longest, text.size());
  return longest - 1;
}();

constexpr TextSet kRule1 = RuleTexts(0);

}  // namespace

ChunkedTextSearch::ChunkedTextSearch(std::size_t chunkBytes)
    : chunkBytes_(std::max<std::size_t>(chunkBytes, 1)) {}

void ChunkedTextSearch::Restart(Scope scope) {
  carried_ = 0;
  found_ = 0;
  scope_ = scope;
}

std::span<char> ChunkedTextSearch::Chunk() {
  if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(kCarry + chunkBytes_);
  return {buffer_.get() + kCarry, chunkBytes_};
}

void ChunkedTextSearch::Add(std::size_t bytes) {
  if (bytes == 0 || (found_ & kRule1) == kRule1 || Settled()) return;
  char* const window = buffer_.get() + kCarry - carried_;
  const std::size_t size = carried_ + bytes;
  const std::string_view contents(window, size);
  // The search for every text stops early once the rule-1 texts still
  // missing turn up.
  found_ |= scope_ == Scope::kKeys
                ? FindKeyTexts(contents)
                : FindTexts(contents, static_cast<TextSet>(kRule1 & ~found_));
  carried_ = std::min(size, kCarry);
  std::memmove(buffer_.get() + kCarry - carried_, window + size - carried_, carried_);
}

}  // namespace foxbane::signatures
