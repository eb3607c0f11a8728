#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/form2.h"
#include "common/resume_next.h"
#include "scan/signatures.h"
#include "sim/sim_platform.h"

namespace foxbane {
namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

// Contents that meet every rule at once.
std::string AllRules() {
  std::string contents;
  for (const auto& rule : SignatureRuleTexts()) {
    for (const std::string& text : rule) contents += text + '\0';
  }
  return contents;
}

class MatchSignaturesTest : public ::testing::Test {
 protected:
  MatchSignaturesTest() {
    form_.AddProcessEntry("C:\\Apps\\clean.exe", 600);
    form_.AddProcessEntry("C:\\Program Files\\Launch\\lp.exe", -967296);
    form_.AddProcessEntry("C:\\Program Files\\Launch\\lp.exe", 704);
  }
  Rows Detected() { return sim_.window.Rows(ControlId::ResultsList); }

  sim::SimPlatform sim_;
  Form2 form_{sim_.platform};
};

TEST_F(MatchSignaturesTest, RecordsTheRowsPathAndPidOnce) {
  form_.MatchSignatures(AllRules(), 2);
  EXPECT_EQ(Detected(), (Rows{{"C:\\Program Files\\Launch\\lp.exe", "-967296"}}));
  ASSERT_EQ(form_.ResultsList().Count(), 1);
  EXPECT_EQ(form_.ResultsList().Item(1).pidText, "-967296");
}

TEST_F(MatchSignaturesTest, RecordsNothingWhenNoRuleHolds) {
  form_.MatchSignatures("MZ\x90", 1);
  form_.MatchSignatures("", 1);
  EXPECT_TRUE(Detected().empty());
}

TEST_F(MatchSignaturesTest, RecordsEachProcessOfTheSameFile) {
  form_.MatchSignatures(AllRules(), 2);
  form_.MatchSignatures(AllRules(), 3);
  EXPECT_EQ(Detected(), (Rows{{"C:\\Program Files\\Launch\\lp.exe", "-967296"},
                              {"C:\\Program Files\\Launch\\lp.exe", "704"}}));
}

TEST_F(MatchSignaturesTest, AMatchForARowThatIsNotThereAddsNothing) {
  EXPECT_THROW(form_.MatchSignatures(AllRules(), 4), StepFailed);
  EXPECT_TRUE(Detected().empty());
}

}  // namespace
}  // namespace foxbane
