#include "cleanup/journal_seal.h"

#include "common/hex.h"
#include "common/sha256.h"

namespace foxbane {

JournalSeal::JournalSeal(std::string key, std::string_view session)
    : key_(std::move(key)), session_(session) {}

std::string JournalSeal::Next(std::string_view text) const {
  return HexText(DigestBytes(HmacSha256(key_, last_ + "\n" + std::string(text))));
}

std::string JournalSeal::Header() {
  last_ = session_;
  last_ = Next(kJournalHeader);
  return std::string(kJournalHeader) + "\t" + last_ + "\n";
}

std::string JournalSeal::Line(const JournalRecord& record) {
  const std::string text = EncodeRecord(record);
  last_ = Next(text);
  return text + "\t" + last_ + "\n";
}

std::optional<std::vector<JournalRecord>> JournalSeal::Read(std::string_view text) {
  const std::vector<std::string_view> lines = CompleteLines(text);
  const std::string header = Header();
  if (lines.empty() || lines[0] != std::string_view(header).substr(0, header.size() - 1)) {
    return std::nullopt;
  }
  std::vector<JournalRecord> records;
  bool broken = false;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::size_t tab = lines[i].rfind('\t');
    const std::string_view body = lines[i].substr(0, tab == std::string_view::npos ? 0 : tab);
    const std::string_view seal =
        tab == std::string_view::npos ? std::string_view() : lines[i].substr(tab + 1);
    const std::string expected = Next(body);
    if (seal != expected) {
      // Only a line cut short lacks part of its seal.
      if (broken || seal.size() == expected.size()) return std::nullopt;
      broken = true;
      continue;
    }
    std::optional<JournalRecord> record = DecodeRecord(body);
    if (!record || (broken && record->kind != JournalRecord::Kind::kRestored)) return std::nullopt;
    last_ = expected;
    records.push_back(std::move(*record));
  }
  return records;
}

}  // namespace foxbane
