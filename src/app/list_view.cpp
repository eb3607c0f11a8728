#include "app/list_view.h"

#include "common/resume_next.h"
#include "common/vb_conversions.h"

namespace foxbane {

void ListView::Clear() {
  rows_.clear();
  window_.ClearRows(id_);
}

void ListView::SetColumns(std::vector<ListColumn> columns) {
  columns_ = std::move(columns);
  window_.SetColumns(id_, columns_);
}

// Shown first, then stored: a row the window could not take is not kept,
// so nothing is acted on that the user was not shown.
std::int32_t ListView::Add(std::string_view text, std::int32_t pid, std::uint64_t started,
                           FileIdentity identity) {
  Row row{std::string(text), DecimalText(pid), started, identity};
  window_.AppendRow(id_, row.text, row.pidText);
  rows_.push_back(std::move(row));
  return Count();
}

const ListView::Row& ListView::Item(std::int32_t position) const {
  constexpr ErrorCode kSubscriptOutOfRange = 9;
  if (position < 1 || position > Count()) throw StepFailed(kSubscriptOutOfRange);
  return rows_[static_cast<std::size_t>(position - 1)];
}

}  // namespace foxbane
