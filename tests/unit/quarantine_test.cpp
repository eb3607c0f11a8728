#include <gtest/gtest.h>

#include <functional>
#include <regex>

#include "app/texts.h"
#include "cleanup/journal_seal.h"
#include "cleanup/quarantine.h"
#include "cleanup/restore.h"
#include "fileops/whole_file.h"
#include "support/sim_machine.h"

namespace foxbane::testing {
namespace {

using Kind = JournalRecord::Kind;

// Texts of every kind a journal must carry unchanged: tabs, line breaks,
// "%", bytes that are not ASCII, NUL, and the empty name of a default value.
std::vector<JournalRecord> EveryKind() {
  std::vector<JournalRecord> records(8);  // one of each kind, in the kinds' order
  records[0].path = "C:\\Program Files\\\u00dcber\\%20 a\tb.exe";
  records[0].stored = "0001.quarantined";
  records[0].size = 0x123456789ull;
  records[0].digest = Digest("bytes");
  records[1].path = "C:\\Program Files\\\u4e2d";
  for (std::size_t i = 2; i < 6; ++i) {
    records[i].root = reg_root::kClassesRoot;
    records[i].view = reg_view::k32Bit;
    records[i].keyPath = "CLSID\\{X}\nnext";
  }
  records[3].type = reg_type::kBinary;
  records[3].data = std::string("\0\xff\r\n%", 5);
  records[7].path = "C:\\Users\\me\\bad.exe";
  for (std::size_t i = 0; i < records.size(); ++i) records[i].kind = static_cast<Kind>(i);
  return records;
}

// A journal reads back only under its key and session, and only as sealed:
// a line cut short at the end (or followed by nothing but the restore's
// closing record) is left out; any other change refuses it whole.
TEST(Journal, RecordsReadBackOnlyAsSealed) {
  const std::vector<JournalRecord> records = EveryKind();
  const std::string key(32, 'k');
  JournalSeal writer(key, "2004-03-27 14.05.09");
  std::string journal = writer.Header();
  for (const JournalRecord& record : records) {
    const std::string line = writer.Line(record);
    EXPECT_EQ(line.find_first_of("\r\n"), line.size() - 1) << line;
    journal += line;
  }
  JournalRecord restored;
  restored.kind = Kind::kRestored;
  JournalSeal restore(key, "2004-03-27 14.05.09");
  const std::string cut = journal.substr(0, journal.size() - 5);
  restore.Read(cut);
  const std::string closing = restore.Line(restored);
  const std::size_t third = journal.find('\n', journal.find('\n') + 1) + 1;
  const std::size_t last = journal.rfind('\n', journal.size() - 2) + 1;
  std::string edited = journal;
  edited[journal.find("Program Files")] = 'p';
  const std::vector<JournalRecord> allButLast(records.begin(), records.end() - 1);
  const struct {
    std::string what, text, key, session;
    std::optional<std::vector<JournalRecord>> read;
  } cases[] = {
      {"as written", journal, key, "2004-03-27 14.05.09", records},
      {"CR LF", std::regex_replace(journal, std::regex("\n"), "\r\n"), key, "2004-03-27 14.05.09", records},
      {"last line cut", cut, key, "2004-03-27 14.05.09", allButLast},
      {"cut, then closed", cut + "\n" + closing, key,
       "2004-03-27 14.05.09", [&] { auto r = allButLast; r.push_back(restored); return r; }()},
      {"a letter changed", edited, key, "2004-03-27 14.05.09", std::nullopt},
      {"a line left out", journal.substr(0, third) + journal.substr(journal.find('\n', third) + 1), key,
       "2004-03-27 14.05.09", std::nullopt},
      {"a line added", journal.substr(0, last) + "folder\tC:\\Windows\tAB\n" + journal.substr(last), key,
       "2004-03-27 14.05.09", std::nullopt},
      {"another key", journal, std::string(32, 'K'), "2004-03-27 14.05.09", std::nullopt},
      {"another session", journal, key, "2004-03-27 14.05.10", std::nullopt},
      {"no header", journal.substr(journal.find('\n') + 1), key, "2004-03-27 14.05.09", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JournalSeal(c.key, c.session).Read(c.text), c.read) << c.what;
  }
}

// The adware, and the user's own hidden file in its folder.
void Plant(SimMachine& m) {
  PlantAdware(m);
  m.sim.files.WriteFile("C:\\Program Files\\Bad Co\\readme.txt", "hidden", file_attribute::kHidden);
}

class Quarantined : public ::testing::Test {
 protected:
  void SetUp() override { Plant(machine); }
  void ScanAndClean() {
    machine.ClickScan();
    machine.ClickCleanup();
  }
  Restore MakeRestore() { return Restore(machine.sim.files, machine.sim.registry, machine.sim.environment); }

  SimMachine machine;
};

// Two cleanups in a row keep two sessions, newest first. Put back in that
// order, over an adware that came back newer and read-only (what was kept
// replaces it), they give the first machine, each once, and leave the log
// as it was; cleaning again then gives what the first cleanup gave. The kept
// copy cannot run: it is neither named nor shaped like a program.
TEST_F(Quarantined, TwoCleanupsPutBackOverTheAdwareThatCameBackAndACleanupAfterThem) {
  const auto before = machine.Snapshot();
  ScanAndClean();
  const auto afterFirst = machine.Snapshot();
  const std::string firstEntries =
      machine.form.LogTextText().substr(machine.form.LogTextText().find("[CLEANUP]"));
  const std::string first = MakeRestore().PendingSessions().at(0);
  const auto kept = machine.sim.files.Contents(Quarantine::Folder(machine.sim.environment) + "\\" + first +
                                               "\\0001.quarantined");
  EXPECT_EQ(Scrambled(kept.value_or("")), kInfectedBytes);

  Plant(machine);
  machine.sim.files.WriteFile(kBad, kInfectedBytes + "newer", file_attribute::kReadOnly);
  machine.sim.registry.SetString(kHklm, kCurrentVersion, "disp", "2");
  machine.sim.clock.Set({2004, 3, 27, 14, 6, 9});
  ScanAndClean();
  const std::string log = machine.ScanLog();
  EXPECT_EQ(log.find("Quarantine"), std::string::npos);
  Restore restore = MakeRestore();
  const std::vector<std::string> sessions = restore.PendingSessions();
  ASSERT_EQ(sessions.size(), 2u);
  EXPECT_GT(sessions[0], sessions[1]) << "newest first";
  for (const std::string& session : sessions) EXPECT_EQ(restore.PutBack(session), 0);
  EXPECT_EQ(machine.Snapshot(), before);
  EXPECT_TRUE(restore.PendingSessions().empty()) << "a session is put back once";
  EXPECT_EQ(machine.ScanLog(), log);

  for (std::uint32_t pid : {300, 301}) machine.sim.processes.AddProcess(pid, kBad);  // as in PlantAdware
  ScanAndClean();
  EXPECT_EQ(machine.Snapshot(), afterFirst);
  EXPECT_TRUE(machine.form.LogTextText().ends_with(firstEntries));
}

// Stopped in the middle: the journal ends in a cut line, the record of the
// last change (the 32-bit view's kill bit for the control's class), which
// was never made. Everything before it is put back, and the session is then
// done: its last record is not glued to the cut line.
TEST_F(Quarantined, AJournalCutInTheMiddleStillPutsBackWhatItRecords) {
  const auto before = machine.Snapshot();
  ScanAndClean();
  Restore restore = MakeRestore();
  const std::string session = restore.PendingSessions().at(0);
  const std::string journal =
      Quarantine::Folder(machine.sim.environment) + "\\" + session + "\\journal.txt";
  const std::string text = *machine.sim.files.Contents(journal);
  const std::size_t last = text.rfind('\n', text.size() - 2) + 1;
  const std::string lastKey = "SOFTWARE\\Wow6432Node\\" + kCompatibility[1].substr(9);
  ASSERT_TRUE(text.substr(last).starts_with("newkey\t80000002\t200\t" + kCompatibility[1] + "\t"));
  machine.sim.files.WriteFile(journal, text.substr(0, last + 12));
  ASSERT_EQ(machine.sim.registry.DeleteKey(kHklm, lastKey, reg_view::k64Bit), win_error::kSuccess);

  EXPECT_EQ(restore.PutBack(session), 0);
  EXPECT_EQ(machine.Snapshot(), before);
  EXPECT_TRUE(restore.PendingSessions().empty());
}

TEST(AppendLines, StartsOnALineOfItsOwnAfterACutLastLine) {
  SimMachine machine;
  const std::string path = "C:\\Data\\lines.txt";
  machine.sim.files.MakeFolder("C:\\Data");
  for (const auto& [before, after] : {std::pair<std::string, std::string>{"", "c\n"},
                                      {"a\n", "a\nc\n"}, {"a\nb", "a\nb\nc\n"}}) {
    if (!before.empty()) machine.sim.files.WriteFile(path, before);
    EXPECT_EQ(AppendLines(machine.sim.files, path, "c\n"), win_error::kSuccess);
    EXPECT_EQ(machine.sim.files.Contents(path), after);
    machine.sim.files.RemoveFile(path);
  }
}

// What cannot be kept is not removed, and the user is told once, after the
// pass: on a disk that fills up no file is kept (a registry entry needs
// none). A quarantine folder that is not safe is not used at all, and
// nothing is written through it: one a user made, one users may change, a
// link to the system's folder, a file in its place.
TEST(Unkept, WhatCannotBeKeptStaysAndTheUserIsToldOnce) {
  const std::string foxbane = "C:\\ProgramData\\Foxbane";
  const std::string system = "C:\\Windows\\System32";
  const struct {
    const char* what;
    std::function<void(sim::SimFileSystem&, sim::Faults&)> plant;
  } cases[] = {
      {"disk full",
       [&](sim::SimFileSystem&, sim::Faults& faults) {
         faults.Fail("FileSystem.Write", win_error::kDiskFull, sim::Faults::kEveryCall,
                     foxbane + "\\Quarantine\\2004");
       }},
      {"made by a user",
       [&](sim::SimFileSystem& files, sim::Faults&) {
         files.MakeFolder(foxbane);
         files.SetSecurity(foxbane, false, true);
       }},
      {"users may change it",
       [&](sim::SimFileSystem& files, sim::Faults&) { files.MakeFolder(foxbane + "\\Quarantine"); }},
      {"a link", [&](sim::SimFileSystem& files, sim::Faults&) { files.MakeLink(foxbane, system); }},
      {"a file", [&](sim::SimFileSystem& files, sim::Faults&) { files.WriteFile(foxbane, "x"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const bool diskFull = &c == &cases[0];
    SimMachine machine;
    Plant(machine);
    machine.sim.files.WriteFile(system + "\\kernel32.dll", "system");
    c.plant(machine.sim.files, machine.sim.faults);
    machine.ClickScan();
    machine.ClickCleanup();
    EXPECT_TRUE(machine.sim.files.Contents(kBad));
    EXPECT_TRUE(machine.sim.files.Contents(kOcx));
    EXPECT_EQ(machine.sim.registry.Value(kHklm, kCurrentVersion, "disp").has_value(), !diskFull);
    EXPECT_EQ(machine.sim.registry.Value(kHkcu, kRunKey, "bad").has_value(), !diskFull);
    const std::string told = diskFull ? std::string(texts::kNotKept)
                                      : std::string(texts::kQuarantineNotSafe) + foxbane + "\\Quarantine.";
    EXPECT_EQ(machine.sim.messages.shown(), std::vector<std::string>{told});
    const std::string screen = machine.form.LogTextText();
    EXPECT_EQ(screen.find(diskFull ? "[CLEANUP] Deleted File" : "[CLEANUP] Deleted"), std::string::npos);
    EXPECT_EQ(screen.find("[CLEANUP] Removed DPF Item:"), std::string::npos);
    for (const auto& item : machine.sim.files.Inventory()) {
      EXPECT_FALSE(item.ends_with(".quarantined")) << "a partial copy left behind: " << item;
      EXPECT_TRUE(!item.starts_with("file:" + system) || item.ends_with("kernel32.dll")) << item;
    }
  }
}

// A key of a removal table that cannot be kept stays, and so does the key
// above it; the stage is not reported as done, and the user is told once.
TEST_F(Quarantined, AKeyThatCannotBeKeptStaysWithItsParentAndGoesUnreported) {
  const std::string inproc = "HKEY_CLASSES_ROOT\\" + kClass + "\\InprocServer32";
  machine.sim.faults.Fail("Registry.CountValues", win_error::kAccessDenied, sim::Faults::kEveryCall,
                          inproc);
  ScanAndClean();
  EXPECT_TRUE(machine.sim.registry.KeyExists(kHkcr, kClass + "\\InprocServer32"));
  EXPECT_EQ(machine.form.LogTextText().find("HKEY_CLASSES_ROOT\\" + kClass), std::string::npos);
  EXPECT_EQ(machine.sim.messages.shown(), std::vector<std::string>{std::string(texts::kNotKept)});
  EXPECT_FALSE(machine.sim.registry.KeyExists(kHkcr, kTypeLib)) << "the other stages go on";
}

// The user is asked about each session, newest first; No leaves it for later.
TEST_F(Quarantined, TheUserIsAskedAboutEachSessionAndToldHowItWent) {
  Restore restore = MakeRestore();
  OfferRestore(restore, machine.sim.messages);
  ASSERT_EQ(machine.sim.messages.shown().size(), 1u);
  EXPECT_TRUE(machine.sim.messages.shown()[0].starts_with("There is nothing to put back"));

  ScanAndClean();
  machine.sim.messages.AnswerNext({false});
  OfferRestore(restore, machine.sim.messages);
  ASSERT_EQ(machine.sim.messages.asked().size(), 1u);
  EXPECT_TRUE(machine.sim.messages.asked()[0].starts_with(
      "Put back what Foxbane removed in its cleanup of 2004-03-27 14.05.09?\n\n2 files "));
  EXPECT_FALSE(machine.sim.files.Contents(kBad));
  EXPECT_EQ(restore.PendingSessions().size(), 1u);

  OfferRestore(restore, machine.sim.messages);
  EXPECT_TRUE(machine.sim.files.Contents(kBad));
  EXPECT_TRUE(machine.sim.messages.shown().back().starts_with("Everything Foxbane removed"));
}

}  // namespace
}  // namespace foxbane::testing
