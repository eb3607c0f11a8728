#include <string>

#include "contract/world.h"

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

// Names match whatever their case and surrounding blanks, and only the first
// [main] counts; only matching quotes are removed; the default loses its
// trailing spaces; everything is cut to the buffer with its NUL.
TEST_P(ProfileFilesContract, ReadStringReadIntAndReadSectionFindEntriesAsWindowsDoes) {
  const std::string file = At("sample.ini");
  world().WriteFile(file, kSample);
  const struct {
    std::string file;
    std::string_view section, entry, defaultText;
    std::uint32_t capacity;
    Pair read;
  } reads[] = {
      {file, "  MAIN ", "  A ", "d", 64, {"1", 1}},
      {file, "Spaced", "NAME", "d", 64, {"value with blanks", 17}},
      {file, "Main", "q", "d", 64, {"single", 6}},
      {file, "Main", "dq", "d", 64, {"double", 6}},
      {file, "Main", "half", "d", 64, {"\"open", 5}},
      {file, "Main", "missing", "dflt  ", 64, {"dflt", 4}},
      {file, "Missing", "A", "  x", 64, {"  x", 3}},
      {file, "Main", "noequals", "d", 64, {"d", 1}},
      {file, "Main", "dup", "d", 64, {"d", 1}},
      {file, "Main", "empty", "d", 64, {"", 0}},
      {file, "Main", "long", "d", 5, {"0123", 4}},
      {file, "Main", "long", "d", 1, {"", 0}},
      {file, "Main", "missing", "default", 4, {"def", 3}},
      {At("missing.ini"), "Main", "A", "d", 64, {"d", 1}},
  };
  for (const auto& r : reads) {
    std::string text = "garbage";
    const std::uint32_t count =
        profiles().ReadString(r.file, r.section, r.entry, r.defaultText, r.capacity, text);
    EXPECT_EQ(Pair(text, count), r.read) << r.file << ": " << r.section << "/" << r.entry;
  }

  const std::pair<std::string_view, std::int32_t> numbers[] = {
      {"int1", 12}, {"int2", -5}, {"A", 1}, {"q", 0}, {"empty", 42}, {"missing", 42}};
  for (const auto& [entry, number] : numbers) {
    EXPECT_EQ(profiles().ReadInt(file, "main", entry, 42), number) << entry;
  }

  // Entries end with a NUL and the listing with one more, the last entry cut
  // to make room; what lies beyond is left alone.
  const std::string main =
      "A=1\0noequals\0q='single'\0dq=\"double\"\0half=\"open\0int1=12abc\0int2=-5\0empty=\0"
      "long=0123456789\0\0"s;
  struct Listing { std::string file; std::string_view section; std::size_t capacity; Pair listed; };
  const Listing listings[] = {
      {file, "MAIN", 100, {main + std::string(100 - main.size(), '#'), std::uint32_t(main.size() - 1)}},
      {file, "Spaced", 30, {"name=value with blanks\0\0######"s, 23}},
      {file, "Main", 12, {"A=1\0noequa\0\0"s, 10}},
      {file, "Main", 6, {"A=1\0\0#"s, 4}},
      {file, "Main", 3, {"A\0\0"s, 1}},
      {file, "Missing", 6, {"\0\0####"s, 0}},
      {At("missing.ini"), "Main", 6, {"\0\0####"s, 0}},
  };
  for (const auto& listing : listings) {
    std::string buffer(listing.capacity, '#');
    const std::uint32_t count = profiles().ReadSection(listing.file, listing.section, buffer);
    EXPECT_EQ(Pair(buffer, count), listing.listed) << listing.section << " in " << listing.capacity;
  }
}

// No text deletes the entry; a missing file is then not made.
TEST_P(ProfileFilesContract, WriteStringMakesTheFileTheSectionAndTheEntryOrDeletesIt) {
  const std::string file = At("new.ini");
  ASSERT_TRUE(profiles().WriteString(file, "Sec", "Key", "  value"));
  EXPECT_EQ(world().Contents(file), "[Sec]\r\nKey=value\r\n");

  ASSERT_TRUE(profiles().WriteString(file, "sec", "Other", "x"));
  ASSERT_TRUE(profiles().WriteString(file, "Sec", "Gone", "1"));
  ASSERT_TRUE(profiles().WriteString(file, "Two", "a", ""));
  ASSERT_TRUE(profiles().WriteString(file, "SEC", "KEY", "replaced"));
  ASSERT_TRUE(profiles().WriteString(file, "Caf\xc3\xa9", "Gr\xc3\xb6\xc3\x9f" "e", "\xc3\xa9t\xc3\xa9"));
  EXPECT_TRUE(profiles().WriteString(file, "SEC", "GONE", std::nullopt));
  EXPECT_TRUE(profiles().WriteString(file, "Sec", "Missing", std::nullopt));
  std::string listing(40, '#');
  EXPECT_EQ(profiles().ReadSection(file, "Sec", listing), 21u);
  EXPECT_EQ(listing.substr(0, 22), "Key=replaced\0Other=x\0\0"s);
  std::string text;
  EXPECT_EQ(profiles().ReadString(file, "two", "A", "d", 10, text), 0u);
  EXPECT_EQ(text, "");
  EXPECT_EQ(profiles().ReadString(file, "CAF\xc3\xa9", "Gr\xc3\xb6\xc3\x9f" "e", "", 10, text), 3u);
  EXPECT_EQ(text, "\xc3\xa9t\xc3\xa9");  // characters, not bytes, survive the round trip

  EXPECT_FALSE(profiles().WriteString(At("Missing\\a.ini"), "Sec", "Key", "v"));
  EXPECT_TRUE(profiles().WriteString(At("never.ini"), "Sec", "Gone", std::nullopt));
  EXPECT_EQ(world().Contents(At("never.ini")), std::nullopt);
}

}  // namespace
}  // namespace foxbane::contract
