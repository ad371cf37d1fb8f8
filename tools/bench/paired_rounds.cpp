#include "paired_rounds.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

#include "bench_clock.h"

namespace qm::bench {
namespace {

constexpr int kResamples = 2000;
// One seed for every run: the interval is then a property of the rounds alone.
constexpr std::mt19937::result_type kSeed = 20261210;
// Rounds between two looks at the intervals once the least have run.
constexpr int kRoundsBetweenLooks = 10;

}  // namespace

RatioInterval PairedRatio(const std::vector<double>& numerators, const std::vector<double>& denominators) {
  const size_t rounds = numerators.size();
  if (rounds == 0 || rounds != denominators.size())
    return {std::nan(""), std::nan(""), std::nan("")};
  std::vector<double> ratios(rounds);
  for (size_t i = 0; i < rounds; ++i)
    ratios[i] = numerators[i] / denominators[i];
  std::mt19937 draw(kSeed);
  std::vector<double> medians;
  medians.reserve(kResamples);
  std::vector<double> resample(rounds);
  for (int i = 0; i < kResamples; ++i) {
    for (double& ratio : resample)
      ratio = ratios[draw() % rounds];
    medians.push_back(Median(resample));
  }
  std::sort(medians.begin(), medians.end());
  constexpr int kTail = kResamples / 40;  // 2.5 % on each side
  return {Median(ratios), medians[kTail], medians[kResamples - 1 - kTail]};
}

int RoundsFor(double half_width, int rounds, double wanted) {
  const double factor = half_width / wanted;
  return static_cast<int>(std::ceil(rounds * factor * factor));
}

PairedRounds::PairedRounds(std::vector<std::string> programs, std::vector<std::string> measures)
    : programs_(std::move(programs)),
      measures_(std::move(measures)),
      samples_(programs_.size(), std::vector<std::vector<double>>(measures_.size())) {}

void PairedRounds::Run(const RoundLimits& limits, const std::function<void(size_t program)>& time_one) {
  wanted_half_width_ = limits.half_width;
  std::vector<size_t> order(programs_.size());
  std::iota(order.begin(), order.end(), 0);
  while (rounds_ < limits.most) {
    for (const size_t program : order)
      time_one(program);
    std::reverse(order.begin(), order.end());
    ++rounds_;
    if (rounds_ >= limits.least && (rounds_ - limits.least) % kRoundsBetweenLooks == 0 &&
        DecidingHalfWidth() <= limits.half_width)
      break;
  }
}

void PairedRounds::Record(size_t program, size_t measure, double ms) {
  samples_[program][measure].push_back(ms);
}

const std::vector<double>& PairedRounds::Samples(size_t program, size_t measure) const {
  return samples_[program][measure];
}

double PairedRounds::DecidingHalfWidth() const {
  double widest = 0;
  if (programs_.size() < 2)
    return widest;
  const size_t measured = programs_.size() - 1;
  for (size_t m = 0; m < measures_.size(); ++m) {
    if (!Samples(measured, m).empty() && !Samples(measured - 1, m).empty())
      widest = std::max(widest, PairedRatio(Samples(measured, m), Samples(measured - 1, m)).HalfWidth());
  }
  return widest;
}

void PairedRounds::Print() const {
  PrintCount("rounds", rounds_);
  PrintCount("rounds_needed", std::max(rounds_, RoundsFor(DecidingHalfWidth(), rounds_, wanted_half_width_)));
  for (size_t p = 0; p < programs_.size(); ++p) {
    for (size_t m = 0; m < measures_.size(); ++m) {
      if (!Samples(p, m).empty())
        PrintFigure((programs_[p] + "_" + measures_[m] + "_ms").c_str(), Median(Samples(p, m)));
    }
  }
  for (size_t later = 1; later < programs_.size(); ++later) {
    for (size_t earlier = 0; earlier < later; ++earlier) {
      for (size_t m = 0; m < measures_.size(); ++m) {
        if (Samples(later, m).empty() || Samples(earlier, m).empty())
          continue;
        const RatioInterval ratio = PairedRatio(Samples(later, m), Samples(earlier, m));
        const std::string name = programs_[later] + "_over_" + programs_[earlier] + "_" + measures_[m];
        PrintFigure(name.c_str(), ratio.median);
        PrintFigure((name + "_low").c_str(), ratio.low);
        PrintFigure((name + "_high").c_str(), ratio.high);
      }
    }
  }
}

}  // namespace qm::bench
