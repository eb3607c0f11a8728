#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/form2.h"
#include "common/resume_next.h"
#include "scan/signature_texts.h"
#include "sim/sim_platform.h"
#include "support/form2_test_access.h"

namespace foxbane {
namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

constexpr signatures::TextSet kEveryText = (1u << signatures::kTexts.size()) - 1;
constexpr signatures::TextSet kRule4FirstText = 1u << 7;  // rule 4 needs bit 8 too

// A match adds the row's path and PID once, however many rules hold; a row
// that is not there adds nothing.
TEST(MatchSignaturesTest, RecordsTheMatchingRowsPathAndPidOnce) {
  sim::SimPlatform sim;
  Form2 form{sim.platform};
  Form2TestAccess::AddProcessEntry(form, "C:\\Apps\\clean.exe", 600);
  Form2TestAccess::AddProcessEntry(form, "C:\\Program Files\\Launch\\lp.exe", -967296);
  Form2TestAccess::MatchSignatures(form, kRule4FirstText, 1);
  Form2TestAccess::MatchSignatures(form, kEveryText, 2);
  EXPECT_THROW(Form2TestAccess::MatchSignatures(form, kEveryText, 3), StepFailed);
  EXPECT_EQ(sim.window.Rows(ControlId::ResultsList),
            (Rows{{"C:\\Program Files\\Launch\\lp.exe", "-967296"}}));
  ASSERT_EQ(form.ResultsList().Count(), 1);
  EXPECT_EQ(form.ResultsList().Item(1).pidText, "-967296");
}

}  // namespace
}  // namespace foxbane
