#include <tuple>

#include "contract/world.h"

namespace foxbane::contract {
namespace {

auto Ordered(const LocalDateTime& t) {
  return std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

TEST_P(ClockContract, NowIsTheLocalTimeToTheSecondWithTheLocaleSeparators) {
  const LocalDateTime before = world().ReferenceNow();
  const LocalDateTime now = clock().Now();
  const LocalDateTime after = world().ReferenceNow();
  EXPECT_LE(Ordered(before), Ordered(now));
  EXPECT_LE(Ordered(now), Ordered(after));
  if (world().LocaleName() != "en-US") GTEST_SKIP() << "separators known for en-US only";
  EXPECT_EQ(clock().TimeSeparator(), ":");
  EXPECT_EQ(clock().DateSeparator(), "/");
}

}  // namespace
}  // namespace foxbane::contract
