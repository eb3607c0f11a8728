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
  added_ = 0;
  carried_ = 0;
  found_ = 0;
  scope_ = scope;
}

char* ChunkedTextSearch::Half(std::size_t index) const {
  return buffer_.get() + (index % 2) * (kCarry + chunkBytes_);
}

std::span<char> ChunkedTextSearch::Chunk(std::size_t index) {
  if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(2 * (kCarry + chunkBytes_));
  return {Half(index) + kCarry, chunkBytes_};
}

void ChunkedTextSearch::Add(std::size_t bytes) {
  const std::size_t index = added_++;
  if ((found_ & kRule1) == kRule1 || Settled()) return;
  char* const window = Half(index) + kCarry - carried_;
  const std::size_t size = carried_ + bytes;
  if (bytes != 0) {
    // The search for every text stops early once the rule-1 texts still
    // missing turn up.
    const std::string_view contents(window, size);
    found_ |= scope_ == Scope::kKeys
                  ? FindKeyTexts(contents)
                  : FindTexts(contents, static_cast<TextSet>(kRule1 & ~found_));
  }
  carried_ = std::min(size, kCarry);
  std::memcpy(Half(index + 1) + kCarry - carried_, window + size - carried_, carried_);
}

}  // namespace foxbane::signatures
