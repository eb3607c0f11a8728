#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace foxbane::fuzz {

// A fuzzer's input read as a run of small fields. Past the end every field is
// zero or empty, so any input describes something and the fuzzer never
// wastes runs on inputs that do not parse.
class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size)
      : rest_(reinterpret_cast<const char*>(data), size) {}

  std::uint8_t Byte() {
    if (rest_.empty()) return 0;
    const auto byte = static_cast<std::uint8_t>(rest_.front());
    rest_.remove_prefix(1);
    return byte;
  }

  // A length byte, a repeat byte, then that many bytes, repeated (repeat + 1)
  // times: a short input can describe a name or data tens of kilobytes long.
  std::string Chunk() {
    const std::size_t length = Byte();
    const std::size_t copies = std::size_t{Byte()} + 1;
    const std::string_view bytes = rest_.substr(0, length);
    rest_.remove_prefix(bytes.size());
    std::string chunk;
    chunk.reserve(bytes.size() * copies);
    for (std::size_t i = 0; i < copies; ++i) chunk += bytes;
    return chunk;
  }

  // Whatever is left, taken whole.
  std::string_view Rest() { return std::exchange(rest_, std::string_view()); }

  bool empty() const { return rest_.empty(); }

 private:
  std::string_view rest_;
};

}  // namespace foxbane::fuzz
