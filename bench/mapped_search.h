#pragma once

#include <string>
#include <vector>

namespace foxbane::bench {

// The alternative to reading that the scan does not take: each file mapped
// into memory a view at a time and searched where it lies, nothing copied.
// For timing only: a text across two views is not looked for.
void SearchMapped(const std::vector<std::string>& paths);

}  // namespace foxbane::bench
