#include <gtest/gtest.h>

#include "cleanup/journal_seal.h"
#include "cleanup/quarantine.h"
#include "cleanup/restore.h"
#include "support/sim_machine.h"

namespace foxbane::testing {
namespace {

using Kind = JournalRecord::Kind;

const std::string kSystemFile = "C:\\Windows\\System32\\version.dll";
const std::string kDebuggerKey =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\sethc.exe";

// A machine cleaned once, with a system file and a key that no cleanup
// touches, and the one session its cleanup kept.
class RestoreTrust : public ::testing::Test {
 protected:
  void SetUp() override {
    PlantAdware(machine);
    machine.sim.files.WriteFile(kSystemFile, "the system's own");
    machine.sim.registry.CreateKeyPath(kHklm, kDebuggerKey);
    machine.ClickScan();
    machine.ClickCleanup();
    session = restore.PendingSessions().at(0);
    journal = Quarantine::Folder(machine.sim.environment) + "\\" + session + "\\journal.txt";
  }
  std::string Journal() { return *machine.sim.files.Contents(journal); }
  std::string Key() {
    return *machine.sim.files.Contents(Quarantine::Folder(machine.sim.environment) +
                                       "\\journal.key");
  }
  // Offers the restore, saying yes to everything; the machine must then be
  // as the cleanup left it, and the user told the session was refused.
  void ExpectRefused(const std::string& what) {
    SCOPED_TRACE(what);
    const auto cleaned = machine.Snapshot();
    const std::size_t told = machine.sim.messages.shown().size();
    OfferRestore(restore, machine.sim.messages);
    EXPECT_TRUE(machine.sim.messages.asked().empty());
    ASSERT_GT(machine.sim.messages.shown().size(), told);
    EXPECT_TRUE(machine.sim.messages.shown()[told].starts_with(
        "Foxbane will not put back what it removed in its cleanup of " + session + ": "))
        << machine.sim.messages.shown()[told];
    EXPECT_EQ(restore.PutBack(session), -1);
    EXPECT_EQ(machine.Snapshot(), cleaned);
    EXPECT_EQ(machine.sim.files.Contents(kSystemFile), "the system's own");
  }

  SimMachine machine;
  Restore restore{machine.sim.files, machine.sim.registry, machine.sim.environment};
  std::string session;
  std::string journal;
};

// Edited after the cleanup without the key: a kept file's place changed to a
// system file, and a record added that would set a debugger for a program
// the logon screen starts.
TEST_F(RestoreTrust, AJournalEditedWithoutTheKeyIsRefusedWhole) {
  std::string text = Journal();
  const std::size_t at = text.find(kBad);
  ASSERT_NE(at, std::string::npos);
  machine.sim.files.WriteFile(journal,
                              text.substr(0, at) + kSystemFile + text.substr(at + kBad.size()));
  ExpectRefused("a path changed");

  JournalRecord debugger;
  debugger.kind = Kind::kValue;
  debugger.root = kHklm;
  debugger.keyPath = kDebuggerKey;
  debugger.valueName = "Debugger";
  debugger.type = reg_type::kString;
  debugger.data = std::string("cmd.exe\0", 8);
  machine.sim.files.WriteFile(journal,
                              text + EncodeRecord(debugger) + "\t" + std::string(64, 'A') + "\n");
  ExpectRefused("a record added");
}

// Sealed with the real key (which a test can read, and Wine guards from no
// one), a record that names a place no cleanup changes still refuses the
// whole session: the places are checked on their own.
TEST_F(RestoreTrust, ARecordOutsideTheCleanupsPlacesIsRefusedWhateverItsSeal) {
  const auto record = [](Kind kind, RegKey root, std::string keyPath, std::string name = {}) {
    JournalRecord r;
    r.kind = kind;
    r.root = root;
    r.keyPath = std::move(keyPath);
    r.valueName = std::move(name);
    r.type = reg_type::kString;
    return r;
  };
  JournalRecord file;
  file.kind = Kind::kFile;
  file.path = kSystemFile;
  file.stored = "0001.quarantined";
  file.size = kInfectedBytes.size();
  file.digest = Digest(kInfectedBytes);
  JournalRecord folder;
  folder.kind = Kind::kFolder;
  folder.path = "C:\\Program Files\\Other";
  JournalRecord detected;
  detected.kind = Kind::kDetected;
  detected.path = "C:\\Windows\\System32\\version.dll";
  const std::pair<const char*, std::vector<JournalRecord>> forged[] = {
      {"a system file", {file}},
      {"a file made detected after the cleanup", {detected, file}},
      {"a folder of no detected file", {folder}},
      {"a debugger", {record(Kind::kValue, kHklm, kDebuggerKey, "Debugger")}},
      {"a value beside the fixed ones",
       {record(Kind::kValue, kHklm, kCurrentVersion, "ProgramFilesDir")}},
      {"a startup value of another root",
       {record(Kind::kValue, reg_root::kUsers, std::string(kRunKey), "x")}},
      {"a key above the class", {record(Kind::kKey, kHkcr, "CLSID")}},
      {"an uninstall entry of no detected file",
       {record(Kind::kKey, kHklm, kUninstall + "\\Other")}},
      {"a key made above the kill bits", {record(Kind::kNewKey, kHklm, "SOFTWARE")}},
      {"a value made where no kill bit is",
       {record(Kind::kNoValue, kHklm, kDebuggerKey, "Debugger")}},
      {"another view", {record(Kind::kValue, kHkcu, std::string(kRunKey), "bad")}},
  };
  const std::string genuine = Journal();
  for (const auto& [what, records] : forged) {
    JournalSeal seal(Key(), session);
    ASSERT_TRUE(seal.Read(genuine));
    std::string text = genuine;
    for (JournalRecord r : records) {
      if (std::string_view(what) == "another view") r.view = 0x20006;  // KEY_WRITE bits
      text += seal.Line(r);
    }
    machine.sim.files.WriteFile(journal, text);
    ExpectRefused(what);
  }
}

// Sessions in a quarantine that users could change are not read at all, and
// neither are those an older Foxbane kept beside the program.
TEST_F(RestoreTrust, AQuarantineUsersCouldChangeIsNotReadAtAll) {
  const std::string folder = Quarantine::Folder(machine.sim.environment);
  machine.sim.files.SetSecurity(folder, true, false);
  Restore later(machine.sim.files, machine.sim.registry, machine.sim.environment);
  OfferRestore(later, machine.sim.messages);
  EXPECT_TRUE(machine.sim.messages.asked().empty());
  EXPECT_EQ(
      machine.sim.messages.shown(),
      std::vector<std::string>{"Foxbane will not put anything back: programs that do not run as "
                               "an administrator could have changed its quarantine folder, " +
                               folder + ", so nothing in it can be trusted."});
  EXPECT_FALSE(machine.sim.files.Contents(kBad));

  SimMachine old;
  const std::string beside = old.sim.environment.ApplicationFolder() + "\\Quarantine";
  old.sim.files.WriteFile(beside + "\\sessions.txt", "2004-03-27 14.05.09\n");
  old.sim.files.WriteFile(beside + "\\2004-03-27 14.05.09\\journal.txt",
                          "Foxbane quarantine journal 1\nfolder\tC:\\Program Files\\Bad Co\n");
  Restore oldRestore(old.sim.files, old.sim.registry, old.sim.environment);
  EXPECT_TRUE(oldRestore.PendingSessions().empty());
}

// A detected file's folder, one of the user's, swapped for a link to the
// system's folder before the restore: nothing is written through it.
TEST(RestoreThroughALink, WritesNothingWhereTheLinkLeads) {
  SimMachine machine;
  const std::string folder = "C:\\Users\\me\\AppData\\Bad";
  machine.Run(300, folder + "\\version.dll", kInfectedBytes);
  machine.ClickScan();
  machine.ClickCleanup();
  ASSERT_FALSE(machine.sim.files.Contents(folder + "\\version.dll"));
  machine.sim.files.MakeFolder("C:\\Windows\\System32");
  machine.sim.files.RemoveFolder(folder);
  machine.sim.files.MakeLink(folder, "C:\\Windows\\System32");
  Restore restore(machine.sim.files, machine.sim.registry, machine.sim.environment);
  EXPECT_GT(restore.PutBack(restore.PendingSessions().at(0)), 0);
  EXPECT_FALSE(machine.sim.files.Contents("C:\\Windows\\System32\\version.dll"));
}

}  // namespace
}  // namespace foxbane::testing
