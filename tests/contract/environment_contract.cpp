#include "common/vb_conversions.h"
#include "contract/environment_world.h"

namespace foxbane::contract {
namespace {

TEST_P(EnvironmentContract, ApplicationFolderIsTheExecutablesFolderWithoutTrailingSeparator) {
  const std::string program = world().ProgramPath();
  const std::string folder = environment().ApplicationFolder();
  EXPECT_EQ(folder, program.substr(0, program.find_last_of('\\')));
  EXPECT_NE(folder.back(), '\\');
}

TEST_P(EnvironmentContract, ProgramNameHasNeitherFolderNorExtension) {
  const std::string program = world().ProgramPath();
  const std::string file = program.substr(program.find_last_of('\\') + 1);
  EXPECT_EQ(environment().ProgramName(), file.substr(0, file.find_last_of('.')));
}

TEST_P(EnvironmentContract, ExpandReplacesKnownReferencesWithoutRegardToCase) {
  world().SetVariable("FOXBANE_TEST_DIR", "C:\\Test Dir");
  EXPECT_EQ(environment().ExpandReferences("%FOXBANE_TEST_DIR%\\a.ocx"), "C:\\Test Dir\\a.ocx");
  EXPECT_EQ(environment().ExpandReferences("%foxbane_test_dir%|%FOXBANE_TEST_DIR%"),
            "C:\\Test Dir|C:\\Test Dir");
}

TEST_P(EnvironmentContract, ExpandLeavesUnknownReferencesAndLonePercentSigns) {
  world().SetVariable("FOXBANE_TEST_DIR", "x");
  EXPECT_EQ(environment().ExpandReferences("%FOXBANE_NO_SUCH_NAME%\\a"),
            "%FOXBANE_NO_SUCH_NAME%\\a");
  EXPECT_EQ(environment().ExpandReferences("50% of %FOXBANE_TEST_DIR"), "50% of %FOXBANE_TEST_DIR");
  EXPECT_EQ(environment().ExpandReferences("%FOXBANE_NO_SUCH_NAME%FOXBANE_TEST_DIR%"),
            "%FOXBANE_NO_SUCH_NAME%FOXBANE_TEST_DIR%");
  EXPECT_EQ(environment().ExpandReferences("%%FOXBANE_TEST_DIR%"), "%%FOXBANE_TEST_DIR%");
  EXPECT_EQ(environment().ExpandReferences(""), "");
}

TEST_P(EnvironmentContract, ExpandKeepsLongAndNonAsciiValuesWhole) {
  const std::string value = "C:\\\u00dcbung\\\u4e2d\\" + std::string(3000, 'v');
  world().SetVariable("FOXBANE_TEST_LONG", value);
  EXPECT_EQ(environment().ExpandReferences("[%FOXBANE_TEST_LONG%]"), "[" + value + "]");
}

// Full paths on a drive, without a trailing "\\"; the program folders each
// once, both of them on a 64-bit system.
TEST_P(EnvironmentContract, WindowsAndProgramFoldersAreFullPathsFromTheSystem) {
  const auto isFolderPath = [](const std::string& path) {
    return path.size() > 3 && path[1] == ':' && path[2] == '\\' && path.back() != '\\';
  };
  EXPECT_TRUE(isFolderPath(environment().WindowsFolder())) << environment().WindowsFolder();
  world().SetVariable("ProgramFiles", "C:\\Elsewhere");
  const std::vector<std::string> folders = environment().ProgramFilesFolders();
  ASSERT_EQ(folders.size(), world().SixtyFourBitSystem() ? 2u : 1u);
  for (const std::string& folder : folders) {
    EXPECT_TRUE(isFolderPath(folder)) << folder;
    EXPECT_NE(folder, "C:\\Elsewhere");
  }
  if (folders.size() == 2) {
    EXPECT_NE(ToUpperAscii(folders[0]), ToUpperAscii(folders[1]));
  }
}

}  // namespace
}  // namespace foxbane::contract
