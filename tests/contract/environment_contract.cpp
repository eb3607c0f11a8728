#include "common/vb_conversions.h"
#include "contract/world.h"

namespace foxbane::contract {
namespace {

TEST_P(EnvironmentContract, ApplicationFolderAndProgramNameComeFromTheExecutablesPath) {
  const std::string program = world().ProgramPath();
  const std::size_t separator = program.find_last_of('\\');
  EXPECT_EQ(environment().ApplicationFolder(), program.substr(0, separator));
  EXPECT_EQ(environment().ProgramName(),
            program.substr(separator + 1, program.find_last_of('.') - separator - 1));
}

// Known references are replaced whatever their case; unknown ones and lone
// percent signs stay as written.
TEST_P(EnvironmentContract, ExpandReplacesKnownReferencesOnly) {
  const std::string value = "C:\\\u00dcbung\\\u4e2d\\" + std::string(3000, 'v');
  world().SetVariable("FOXBANE_TEST_DIR", "C:\\Test Dir");
  world().SetVariable("FOXBANE_TEST_LONG", value);
  const std::pair<std::string, std::string> expansions[] = {
      {"%FOXBANE_TEST_DIR%\\a.ocx", "C:\\Test Dir\\a.ocx"},
      {"%foxbane_test_dir%|%FOXBANE_TEST_DIR%", "C:\\Test Dir|C:\\Test Dir"},
      {"[%FOXBANE_TEST_LONG%]", "[" + value + "]"},
  };
  for (const auto& [text, expanded] : expansions) {
    EXPECT_EQ(environment().ExpandReferences(text), expanded) << text;
  }
  for (const char* kept : {"%FOXBANE_NO_SUCH_NAME%\\a", "50% of %FOXBANE_TEST_DIR",
                           "%FOXBANE_NO_SUCH_NAME%FOXBANE_TEST_DIR%", "%%FOXBANE_TEST_DIR%", ""}) {
    EXPECT_EQ(environment().ExpandReferences(kept), kept);
  }
}

// Full paths on a drive, without a trailing "\\"; the program folders each
// once, both of them on a 64-bit system, and neither they nor the program
// data folder from the variables.
TEST_P(EnvironmentContract, WindowsAndProgramFoldersAreFullPathsFromTheSystem) {
  const auto isFolderPath = [](const std::string& path) {
    return path.size() > 3 && path[1] == ':' && path[2] == '\\' && path.back() != '\\';
  };
  EXPECT_TRUE(isFolderPath(environment().WindowsFolder())) << environment().WindowsFolder();
  world().SetVariable("ProgramFiles", "C:\\Elsewhere");
  world().SetVariable("ProgramData", "C:\\Elsewhere");
  EXPECT_TRUE(isFolderPath(environment().ProgramDataFolder()) &&
              environment().ProgramDataFolder() != "C:\\Elsewhere")
      << environment().ProgramDataFolder();
  const std::vector<std::string> folders = environment().ProgramFilesFolders();
  ASSERT_EQ(folders.size(), world().SixtyFourBitSystem() ? 2u : 1u);
  for (const std::string& folder : folders) {
    EXPECT_TRUE(isFolderPath(folder) && folder != "C:\\Elsewhere") << folder;
  }
  if (folders.size() == 2) {
    EXPECT_NE(ToUpperAscii(folders[0]), ToUpperAscii(folders[1]));
  }
}

// Both users as string SIDs. The tests run as the user who logged on, so
// the shell, where there is one, is the program's own user; that user's
// hive is loaded under HKEY_USERS by that name.
TEST_P(EnvironmentContract, TheShellsUserIsTheProgramsWhenNotElevatedAsAnother) {
  const std::string program = environment().ProgramUserSid();
  ASSERT_TRUE(program.starts_with("S-1-5-")) << program;
  EXPECT_EQ(program.find_first_not_of("S0123456789-"), std::string::npos) << program;
  const std::string shell = environment().ShellUserSid();
  EXPECT_TRUE(shell.empty() || shell == program) << shell;
}

}  // namespace
}  // namespace foxbane::contract
