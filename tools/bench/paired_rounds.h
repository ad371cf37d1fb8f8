#pragma once
// Figures from paired rounds. In each round every program is timed once, in the order given or reversed, by
// turns, so that whatever the shared machine does at that moment meets each pair of programs alike and
// neither always goes first. A figure is the median of the per-round ratios of two programs, with its 95 %
// bootstrap interval: how far that median could move if the same machine gave other rounds of the same
// kind. Rounds go on until the interval of the program measured (the last) against the one before it (its
// floor, or the older tree) is narrow enough for every measure, or until a limit.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace qm::bench {

struct RatioInterval {
  double median = 0;
  double low = 0;
  double high = 0;

  double HalfWidth() const { return (high - low) / 2; }
};

// The median of numerators[i] / denominators[i] over the rounds, and the 2.5th and 97.5th percentiles of
// the medians of 2,000 resamples of the rounds (drawn with replacement, from a fixed seed, so that the same
// rounds always give the same figures). Empty or unequal samples give NaN.
RatioInterval PairedRatio(const std::vector<double>& numerators, const std::vector<double>& denominators);

// The rounds that would bring an interval of `half_width` over `rounds` rounds down to `wanted`: an interval
// narrows as the square root of the rounds grows.
int RoundsFor(double half_width, int rounds, double wanted);

struct RoundLimits {
  int least = 1;
  int most = 1;
  double half_width = 0.05;  // what the last program's ratios to the one before it must come within
};

class PairedRounds {
 public:
  // `programs` name the programs in the figures, floors first and the program measured last; `measures`
  // name what a round times in each of them ("shown", "in_place", ...).
  PairedRounds(std::vector<std::string> programs, std::vector<std::string> measures);

  // Runs rounds of `time_one`, which times the program it is given and records its measures, until the
  // limits are met.
  void Run(const RoundLimits& limits, const std::function<void(size_t program)>& time_one);
  // A time of `program`'s `measure` in this round. A program records a measure in every round or never.
  void Record(size_t program, size_t measure, double ms);

  // Prints rounds= and rounds_needed= (those the widest of the deciding intervals would want), each
  // program's median of each measure, <program>_<measure>_ms=, and each later program's ratio to each
  // earlier one, <later>_over_<earlier>_<measure>= with _low= and _high=.
  void Print() const;

 private:
  const std::vector<double>& Samples(size_t program, size_t measure) const;
  // The widest half-width of the last program's ratios to the one before it.
  double DecidingHalfWidth() const;

  std::vector<std::string> programs_;
  std::vector<std::string> measures_;
  std::vector<std::vector<std::vector<double>>> samples_;  // [program][measure][round]
  int rounds_ = 0;
  double wanted_half_width_ = 0.05;
};

}  // namespace qm::bench
