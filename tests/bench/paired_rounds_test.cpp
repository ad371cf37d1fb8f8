#include "paired_rounds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

namespace qm::bench {
namespace {

// Rounds in which the floor took 10 ms and the program 10 ms times the round's ratio.
struct RatioCase {
  const char* name;
  std::vector<double> ratios;
  double median;
  double low_at_least;  // the interval lies within [low_at_least, high_at_most]
  double high_at_most;
  bool holds_one;  // whether 1.00 lies in the interval
};

void PrintTo(const RatioCase& c, std::ostream* out) {
  *out << c.name;
}

// `pattern` `times` over, then `tail`.
std::vector<double> Repeated(const std::vector<double>& pattern, int times,
                             const std::vector<double>& tail = {}) {
  std::vector<double> out;
  for (int i = 0; i < times; ++i)
    out.insert(out.end(), pattern.begin(), pattern.end());
  out.insert(out.end(), tail.begin(), tail.end());
  return out;
}

const RatioCase kRatioCases[] = {
    {"EveryRoundAlike", Repeated({1.2}, 20), 1.2, 1.2, 1.2, false},
    {"NoDifferenceInNoisyRounds", Repeated({0.8, 1.25, 1.0, 0.9, 1.1}, 8), 1.0, 0.9, 1.1, true},
    {"SlowerByATenthWithLittleNoise", Repeated({1.08, 1.09, 1.10, 1.11, 1.12}, 10), 1.10, 1.08, 1.12, false},
    {"OneRoundDisturbedMovesNothing", Repeated({1.0}, 19, {5.0}), 1.0, 1.0, 1.0, true},
    {"FewRoundsGiveAWideInterval", {0.9, 1.0, 1.3}, 1.0, 0.9, 1.3, true},
};

class PairedRatioTest : public testing::TestWithParam<RatioCase> {};

TEST_P(PairedRatioTest, GivesTheMedianRatioAndAnIntervalAroundIt) {
  const RatioCase& c = GetParam();
  std::vector<double> floor(c.ratios.size(), 10.0), program;
  for (const double ratio : c.ratios)
    program.push_back(10.0 * ratio);
  const RatioInterval interval = PairedRatio(program, floor);
  EXPECT_NEAR(interval.median, c.median, 1e-9);
  EXPECT_LE(interval.low, interval.median);
  EXPECT_GE(interval.high, interval.median);
  EXPECT_GE(interval.low, c.low_at_least - 1e-9);
  EXPECT_LE(interval.high, c.high_at_most + 1e-9);
  EXPECT_EQ(interval.low <= 1.0 && 1.0 <= interval.high, c.holds_one);
  // The same rounds always give the same interval.
  const RatioInterval again = PairedRatio(program, floor);
  EXPECT_EQ(again.low, interval.low);
  EXPECT_EQ(again.high, interval.high);
}

INSTANTIATE_TEST_SUITE_P(PairedRounds, PairedRatioTest, testing::ValuesIn(kRatioCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PairedRatio, NoRoundsAreNoFigure) {
  EXPECT_TRUE(std::isnan(PairedRatio({}, {}).median));
  EXPECT_TRUE(std::isnan(PairedRatio({1.0, 2.0}, {1.0}).high));
}

TEST(RoundsFor, GrowsAsTheSquareOfTheWidthWanted) {
  EXPECT_EQ(RoundsFor(0.10, 20, 0.05), 80);
  EXPECT_EQ(RoundsFor(0.05, 20, 0.05), 20);
  EXPECT_EQ(RoundsFor(0.02, 50, 0.05), 8);
}

// Rounds of two programs whose times come from `time_of(program, round)`; the order each round ran them in.
std::vector<std::vector<size_t>> RunRounds(PairedRounds& rounds, const RoundLimits& limits,
                                           double (*time_of)(size_t program, size_t round)) {
  std::vector<std::vector<size_t>> orders;
  rounds.Run(limits, [&](size_t program) {
    if (orders.empty() || orders.back().size() == 2)
      orders.emplace_back();
    orders.back().push_back(program);
    rounds.Record(program, 0, time_of(program, orders.size() - 1));
  });
  return orders;
}

TEST(PairedRoundsRun, TakesTurnsAndStopsOnceTheIntervalIsNarrow) {
  PairedRounds rounds({"floor", "panel"}, {"shown"});
  const auto orders =
      RunRounds(rounds, {4, 100, 0.05}, [](size_t program, size_t) { return program ? 11.0 : 10.0; });
  ASSERT_EQ(orders.size(), 4u);
  EXPECT_EQ(orders[0], (std::vector<size_t>{0, 1}));
  EXPECT_EQ(orders[1], (std::vector<size_t>{1, 0}));
  EXPECT_EQ(orders[2], (std::vector<size_t>{0, 1}));
}

TEST(PairedRoundsRun, GoesOnWhileTheIntervalIsWideUpToTheLimit) {
  PairedRounds rounds({"floor", "panel"}, {"shown"});
  // Every other round the panel is twice as slow: the median never settles within 0.05.
  const auto orders = RunRounds(
      rounds, {4, 30, 0.05}, [](size_t program, size_t round) { return program && round % 2 ? 20.0 : 10.0; });
  EXPECT_EQ(orders.size(), 30u);
}

}  // namespace
}  // namespace qm::bench
