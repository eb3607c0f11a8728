#include <gtest/gtest.h>

#include "common/resume_next.h"
#include "fileops/file_list_box.h"
#include "sim/faults.h"
#include "sim/sim_file_system.h"

namespace foxbane {
namespace {

TEST(FileListBoxTest, CountsListedFilesAndKeepsTheLastListingWhenAFolderCannotBeListed) {
  sim::Faults faults;
  sim::SimFileSystem files(faults);
  files.WriteFile("C:\\Program Files\\Foo\\foo.exe", "x");
  files.WriteFile("C:\\Program Files\\Foo\\foo.dll", "x");
  files.WriteFile("C:\\Program Files\\Foo\\desktop.ini", "x", file_attribute::kHidden);
  FileListBox file1(files);

  file1.Path("C:\\Program Files\\Foo");
  EXPECT_EQ(file1.ListCount(), 2u);
  try {
    file1.Path("C:\\Program Files\\Gone");
    FAIL() << "a missing folder was listed";
  } catch (const StepFailed& failure) {
    EXPECT_EQ(failure.code(), win_error::kPathNotFound);
  }
  EXPECT_EQ(file1.Path(), "C:\\Program Files\\Foo");
  EXPECT_EQ(file1.ListCount(), 2u);
}

}  // namespace
}  // namespace foxbane
