#include "app/form2.h"
#include "common/vb_conversions.h"
#include "scan/signatures.h"

namespace foxbane {

void Form2::MatchSignatures(signatures::TextSet found, std::int32_t row, FileIdentity identity) {
  if (FirstMatchingRule(found) == 0) return;
  const ListView::Row& process = lvwProcess_.Item(row);
  AddDetectedProcess(process.text, ToInt32(process.pidText), process.started, identity);
}

void Form2::AddDetectedProcess(std::string_view name, std::int32_t pid, std::uint64_t started,
                               FileIdentity identity) {
  resultsList_.Add(name, pid, started, identity);
}

}  // namespace foxbane
