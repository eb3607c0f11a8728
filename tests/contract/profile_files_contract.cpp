#include <string>

#include "contract/profile_files_world.h"

namespace foxbane::contract {
namespace {

using namespace std::string_literals;

constexpr std::string_view kSample =
    "; a comment before any section\r\n"
    "[Main]\r\n"
    "A = 1\r\n"
    "noequals\r\n"
    ";comment=x\r\n"
    "q='single'\r\n"
    "dq=\"double\"\r\n"
    "half=\"open\r\n"
    "int1=12abc\r\n"
    "int2=-5\r\n"
    "empty=\r\n"
    "long=0123456789\r\n"
    "\r\n"
    "[ Spaced ]\r\n"
    "  name  =  value with blanks  \r\n"
    "[main]\r\n"
    "dup=second section\r\n";

using Pair = std::pair<std::string, std::uint32_t>;

// The sample file in a test's sandbox, read through the adapter under test.
class Sample {
 public:
  Sample(ProfileFilesWorld& world, ProfileFiles& profiles, std::string path)
      : profiles_(profiles), path_(std::move(path)) {
    world.WriteFile(path_, kSample);
  }
  const std::string& path() const { return path_; }

  // The text and the count that ReadString gives.
  Pair Read(std::string_view section, std::string_view entry,
            std::string_view defaultText = "<none>", std::uint32_t capacity = 64) const {
    std::string text = "garbage";
    const std::uint32_t count =
        profiles_.ReadString(path_, section, entry, defaultText, capacity, text);
    return {text, count};
  }
  // What ReadSection leaves of a buffer of `capacity` "#" characters, and
  // the count.
  Pair Section(std::string_view section, std::size_t capacity) const {
    std::string buffer(capacity, '#');
    const std::uint32_t count = profiles_.ReadSection(path_, section, buffer);
    return {buffer, count};
  }
  std::int32_t Int(std::string_view entry) const {
    return profiles_.ReadInt(path_, "main", entry, 42);
  }

 private:
  ProfileFiles& profiles_;
  std::string path_;
};

TEST_P(ProfileFilesContract, ReadStringFindsEntriesWhateverTheCaseAndBlanksOfTheNames) {
  const Sample sample(world(), profiles(), At("sample.ini"));
  EXPECT_EQ(sample.Read("main", "a"), Pair("1", 1));
  EXPECT_EQ(sample.Read("  MAIN ", "  A "), Pair("1", 1));
  EXPECT_EQ(sample.Read("Spaced", "NAME"), Pair("value with blanks", 17));
}

TEST_P(ProfileFilesContract, ReadStringRemovesOnlyMatchingQuotes) {
  const Sample sample(world(), profiles(), At("sample.ini"));
  EXPECT_EQ(sample.Read("Main", "q"), Pair("single", 6));
  EXPECT_EQ(sample.Read("Main", "dq"), Pair("double", 6));
  EXPECT_EQ(sample.Read("Main", "half"), Pair("\"open", 5));
}

TEST_P(ProfileFilesContract, ReadStringGivesTheDefaultWithoutItsTrailingSpaces) {
  const Sample sample(world(), profiles(), At("sample.ini"));
  EXPECT_EQ(sample.Read("Main", "missing", "dflt  "), Pair("dflt", 4));
  EXPECT_EQ(sample.Read("Missing", "A", "  x"), Pair("  x", 3));
  EXPECT_EQ(sample.Read("Main", "noequals", "d"), Pair("d", 1));
  EXPECT_EQ(sample.Read("Main", "dup", "d"), Pair("d", 1));  // only the first [main] counts
  EXPECT_EQ(sample.Read("Main", "empty", "d"), Pair("", 0));
  std::string text;
  EXPECT_EQ(profiles().ReadString(At("missing.ini"), "Main", "A", "d", 64, text), 1u);
  EXPECT_EQ(text, "d");
}

TEST_P(ProfileFilesContract, ReadStringCutsTheTextToTheBuffer) {
  const Sample sample(world(), profiles(), At("sample.ini"));
  EXPECT_EQ(sample.Read("Main", "long", "d", 5), Pair("0123", 4));
  EXPECT_EQ(sample.Read("Main", "long", "d", 1), Pair("", 0));
  EXPECT_EQ(sample.Read("Main", "missing", "default", 4), Pair("def", 3));
}

TEST_P(ProfileFilesContract, ReadIntTakesTheLeadingNumberOrTheDefault) {
  const Sample sample(world(), profiles(), At("sample.ini"));
  EXPECT_EQ(sample.Int("int1"), 12);
  EXPECT_EQ(sample.Int("int2"), -5);
  EXPECT_EQ(sample.Int("A"), 1);
  EXPECT_EQ(sample.Int("q"), 0);
  EXPECT_EQ(sample.Int("empty"), 42);
  EXPECT_EQ(sample.Int("missing"), 42);
}

TEST_P(ProfileFilesContract, ReadSectionListsTheEntriesBetweenNulsAndLeavesTheRest) {
  const Sample sample(world(), profiles(), At("sample.ini"));
  const std::string listing =
      "A=1\0noequals\0q='single'\0dq=\"double\"\0half=\"open\0int1=12abc\0int2=-5\0empty=\0"
      "long=0123456789\0\0"s;
  EXPECT_EQ(sample.Section("MAIN", 100),
            Pair(listing + std::string(100 - listing.size(), '#'),
                 static_cast<std::uint32_t>(listing.size() - 1)));
  EXPECT_EQ(sample.Section("Spaced", 30), Pair("name=value with blanks\0\0######"s, 23));
}

TEST_P(ProfileFilesContract, ReadSectionCutsTheLastEntryAndEndsWithTwoNuls) {
  const Sample sample(world(), profiles(), At("sample.ini"));
  EXPECT_EQ(sample.Section("Main", 12), Pair("A=1\0noequa\0\0"s, 10));
  EXPECT_EQ(sample.Section("Main", 6), Pair("A=1\0\0#"s, 4));
  EXPECT_EQ(sample.Section("Main", 3), Pair("A\0\0"s, 1));
}

TEST_P(ProfileFilesContract, ReadSectionOfNothingGivesTwoNuls) {
  const Sample sample(world(), profiles(), At("sample.ini"));
  EXPECT_EQ(sample.Section("Missing", 6), Pair("\0\0####"s, 0));
  std::string buffer(6, '#');
  EXPECT_EQ(profiles().ReadSection(At("missing.ini"), "Main", buffer), 0u);
  EXPECT_EQ(buffer, "\0\0####"s);
}

TEST_P(ProfileFilesContract, WriteStringMakesTheFileTheSectionAndTheEntry) {
  const std::string file = At("new.ini");
  ASSERT_TRUE(profiles().WriteString(file, "Sec", "Key", "  value"));
  EXPECT_EQ(world().Contents(file), "[Sec]\r\nKey=value\r\n");

  ASSERT_TRUE(profiles().WriteString(file, "sec", "Other", "x"));
  ASSERT_TRUE(profiles().WriteString(file, "Two", "a", ""));
  ASSERT_TRUE(profiles().WriteString(file, "SEC", "KEY", "replaced"));
  std::string listing(40, '#');
  EXPECT_EQ(profiles().ReadSection(file, "Sec", listing), 21u);
  EXPECT_EQ(listing.substr(0, 22), "Key=replaced\0Other=x\0\0"s);
  std::string text;
  EXPECT_EQ(profiles().ReadString(file, "two", "A", "d", 10, text), 0u);
  EXPECT_EQ(text, "");
}

TEST_P(ProfileFilesContract, WriteStringWithoutTextDeletesTheEntry) {
  const std::string file = At("delete.ini");
  ASSERT_TRUE(profiles().WriteString(file, "Sec", "Gone", "1"));
  ASSERT_TRUE(profiles().WriteString(file, "Sec", "Kept", "2"));
  EXPECT_TRUE(profiles().WriteString(file, "SEC", "GONE", std::nullopt));
  EXPECT_TRUE(profiles().WriteString(file, "Sec", "Missing", std::nullopt));
  EXPECT_EQ(world().Contents(file), "[Sec]\r\nKept=2\r\n");

  EXPECT_TRUE(profiles().WriteString(At("never.ini"), "Sec", "Gone", std::nullopt));
  EXPECT_EQ(world().Contents(At("never.ini")), std::nullopt);
}

TEST_P(ProfileFilesContract, WrittenTextReadsBackWithItsCharacters) {
  const std::string file = At("text.ini");
  ASSERT_TRUE(profiles().WriteString(file, "Caf\xc3\xa9", "Gr\xc3\xb6\xc3\x9f" "e", "\xc3\xa9t\xc3\xa9"));
  std::string text;
  EXPECT_EQ(profiles().ReadString(file, "CAF\xc3\xa9", "Gr\xc3\xb6\xc3\x9f" "e", "", 10, text), 3u);
  EXPECT_EQ(text, "\xc3\xa9t\xc3\xa9");
}

TEST_P(ProfileFilesContract, WriteStringFailsInAMissingFolder) {
  EXPECT_FALSE(profiles().WriteString(At("Missing\\a.ini"), "Sec", "Key", "v"));
}

}  // namespace
}  // namespace foxbane::contract
