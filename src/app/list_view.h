#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ports/file_system.h"
#include "ports/window.h"

namespace foxbane {

// A report-view list used as a row store: rows addressed by 1-based position,
// each a text and a PID subitem kept as decimal text, and, unseen, when the
// process started and which file the scan read for it. Rows are only appended,
// never sorted or edited; every change is shown on the window at once.
class ListView {
 public:
  ListView(Window& window, ControlId id) : window_(window), id_(id) {}

  struct Row {
    std::string text;
    std::string pidText;
    std::uint64_t started = 0;  // 0 when the system did not say
    FileIdentity identity;      // of the file read, once the scan has read it
  };

  void Clear();
  void SetColumns(std::vector<ListColumn> columns);
  // Appends a row and stores `pid` as its subitem; returns its position.
  std::int32_t Add(std::string_view text, std::int32_t pid, std::uint64_t started = 0,
                   FileIdentity identity = {});

  std::int32_t Count() const { return static_cast<std::int32_t>(rows_.size()); }
  // The row at 1-based `position`; throws StepFailed outside 1..Count().
  const Row& Item(std::int32_t position) const;
  const std::vector<ListColumn>& Columns() const { return columns_; }

 private:
  Window& window_;
  ControlId id_;
  std::vector<Row> rows_;
  std::vector<ListColumn> columns_;
};

}  // namespace foxbane
