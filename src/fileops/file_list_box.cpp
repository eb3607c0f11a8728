#include "fileops/file_list_box.h"

#include "common/resume_next.h"

namespace foxbane {

void FileListBox::Path(std::string_view folder) {
  std::uint32_t count = 0;
  Check(files_.CountListedFiles(folder, count));
  path_ = folder;
  count_ = count;
}

}  // namespace foxbane
