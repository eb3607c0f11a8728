#include "cleanup/journal.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

#include "common/hex.h"
#include "common/sha256.h"

namespace foxbane {

namespace {

using Kind = JournalRecord::Kind;

constexpr std::array<std::pair<Kind, std::string_view>, 8> kKindNames = {{
    {Kind::kFile, "file"},
    {Kind::kFolder, "folder"},
    {Kind::kKey, "key"},
    {Kind::kValue, "value"},
    {Kind::kNoValue, "novalue"},
    {Kind::kNewKey, "newkey"},
    {Kind::kRestored, "restored"},
    {Kind::kDetected, "detected"},
}};
std::string Escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte > 0x7E || c == '%') {
      out += '%';
      AppendHexByte(out, byte);
    } else {
      out += c;
    }
  }
  return out;
}

std::optional<unsigned char> HexByte(std::string_view two) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(two.data(), two.data() + 2, value, 16);
  if (error != std::errc() || end != two.data() + 2) return std::nullopt;
  return static_cast<unsigned char>(value);
}

std::optional<std::string> Unescaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    const auto byte = HexByte(text.substr(i + 1, 2));
    if (!byte) return std::nullopt;
    out += static_cast<char>(*byte);
    i += 2;
  }
  return out;
}

std::optional<std::string> FromHex(std::string_view hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  std::string out;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const auto byte = HexByte(hex.substr(i, 2));
    if (!byte) return std::nullopt;
    out += static_cast<char>(*byte);
  }
  return out;
}

template <typename Number>
bool ParseNumber(std::string_view text, Number& number) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number, 16);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

template <typename Number>
std::string NumberText(Number number) {
  char text[24];
  const auto [end, error] = std::to_chars(std::begin(text), std::end(text), number, 16);
  return std::string(text, end);
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

bool IsRegistryKind(Kind kind) {
  return kind == Kind::kKey || kind == Kind::kValue || kind == Kind::kNoValue ||
         kind == Kind::kNewKey;
}

}  // namespace

std::optional<JournalRecord> DecodeRecord(std::string_view line) {
  const std::vector<std::string_view> fields = Fields(line);
  JournalRecord record;
  const auto kind = std::find_if(kKindNames.begin(), kKindNames.end(),
                                 [&](const auto& entry) { return entry.second == fields[0]; });
  if (kind == kKindNames.end()) return std::nullopt;
  record.kind = kind->first;
  if (record.kind == Kind::kRestored) return fields.size() == 1 ? std::optional(record) : std::nullopt;
  if (record.kind == Kind::kFolder || record.kind == Kind::kDetected) {
    auto path = fields.size() == 2 ? Unescaped(fields[1]) : std::nullopt;
    if (!path) return std::nullopt;
    record.path = std::move(*path);
    return record;
  }
  if (record.kind == Kind::kFile) {
    if (fields.size() != 5) return std::nullopt;
    auto path = Unescaped(fields[1]);
    auto stored = Unescaped(fields[2]);
    if (!path || !stored || !ParseNumber(fields[3], record.size) || fields[4].empty()) {
      return std::nullopt;
    }
    record.path = std::move(*path);
    record.stored = std::move(*stored);
    record.digest = fields[4];
    return record;
  }
  // Registry records: root, view, key path, then value name, type and data
  // where the kind has them.
  const std::size_t expected = record.kind == Kind::kValue     ? 7
                               : record.kind == Kind::kNoValue ? 5
                                                               : 4;
  if (fields.size() != expected) return std::nullopt;
  auto keyPath = Unescaped(fields[3]);
  if (!ParseNumber(fields[1], record.root) || !ParseNumber(fields[2], record.view) || !keyPath) {
    return std::nullopt;
  }
  record.keyPath = std::move(*keyPath);
  if (expected >= 5) {
    auto name = Unescaped(fields[4]);
    if (!name) return std::nullopt;
    record.valueName = std::move(*name);
  }
  if (expected == 7) {
    auto data = FromHex(fields[6]);
    if (!ParseNumber(fields[5], record.type) || !data) return std::nullopt;
    record.data = std::move(*data);
  }
  return record;
}

std::string EncodeRecord(const JournalRecord& record) {
  const auto kind = std::find_if(kKindNames.begin(), kKindNames.end(),
                                 [&](const auto& entry) { return entry.first == record.kind; });
  std::string line(kind->second);
  const auto field = [&line](std::string_view text) { line.append("\t").append(text); };
  if (record.kind == Kind::kFolder || record.kind == Kind::kDetected) field(Escaped(record.path));
  if (record.kind == Kind::kFile) {
    field(Escaped(record.path));
    field(Escaped(record.stored));
    field(NumberText(record.size));
    field(record.digest);
  }
  if (IsRegistryKind(record.kind)) {
    field(NumberText(record.root));
    field(NumberText(record.view));
    field(Escaped(record.keyPath));
  }
  if (record.kind == Kind::kValue || record.kind == Kind::kNoValue) field(Escaped(record.valueName));
  if (record.kind == Kind::kValue) {
    field(NumberText(record.type));
    field(HexText(record.data));
  }
  return line;
}

std::vector<std::string_view> CompleteLines(std::string_view text) {
  std::vector<std::string_view> lines;
  for (std::size_t start = 0, end = text.find('\n'); end != std::string_view::npos;
       start = end + 1, end = text.find('\n', start)) {
    std::string_view line = text.substr(start, end - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
  }
  return lines;
}

std::string Digest(std::string_view bytes) { return HexText(DigestBytes(Sha256(bytes))); }

}  // namespace foxbane
