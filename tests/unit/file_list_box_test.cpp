#include <gtest/gtest.h>

#include "common/resume_next.h"
#include "fileops/file_list_box.h"
#include "sim/faults.h"
#include "sim/sim_file_system.h"

namespace foxbane {
namespace {

// A folder that cannot be listed fails the step and leaves the last listing
// as it was. (Which files count is the file system's, held to its contract.)
TEST(FileListBoxTest, CountsListedFilesAndKeepsTheLastListingWhenAFolderCannotBeListed) {
  sim::Faults faults;
  sim::SimFileSystem files(faults);
  files.WriteFile("C:\\Program Files\\Foo\\foo.exe", "x");
  files.WriteFile("C:\\Program Files\\Foo\\foo.dll", "x");
  FileListBox file1(files);
  file1.Path("C:\\Program Files\\Foo");
  EXPECT_EQ(file1.ListCount(), 2u);
  EXPECT_THROW(file1.Path("C:\\Program Files\\Gone"), StepFailed);
  EXPECT_EQ(file1.Path(), "C:\\Program Files\\Foo");
  EXPECT_EQ(file1.ListCount(), 2u);
}

}  // namespace
}  // namespace foxbane
