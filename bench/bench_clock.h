// Timing helpers shared by the benchmark programs: wall-clock seconds and the median of rounds.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

namespace bench {

inline double now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Median of the rounds (the upper one of an even count); 0 without rounds.
inline double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace bench
