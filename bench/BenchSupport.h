#pragma once

// Timing and reporting shared by the benchmark programs. Each prints a readable line and one
// line for bench/run-all.sh:  RESULT <name> <folianto> <reference> <unit>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace folianto::bench {

class Stopwatch {
 public:
  Stopwatch() { ::QueryPerformanceCounter(&start_); }
  double Milliseconds() const {
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) /
           static_cast<double>(frequency.QuadPart);
  }
  double Seconds() const { return Milliseconds() / 1000.0; }

 private:
  LARGE_INTEGER start_;
};

// This machine is shared: the fastest of several runs is the least disturbed one.
inline double Best(const std::vector<double>& runs) {
  return runs.empty() ? 0.0 : *std::min_element(runs.begin(), runs.end());
}

// subject is what the first figure measures: Folianto, unless a diagnostic line says otherwise.
inline void Report(const char* name, const char* what, const char* subject, double folianto,
                   const char* reference, double referenceValue, const char* unit, int runs) {
  std::printf("%s: %s %.1f %s, %s %.1f %s, ratio %.2f (best of %d)\n", what, subject, folianto,
              unit, reference, referenceValue, unit,
              referenceValue > 0 ? folianto / referenceValue : 0.0, runs);
  std::printf("RESULT %s %.3f %.3f %s\n", name, folianto, referenceValue, unit);
  std::fflush(stdout);
}

inline int Failed(const char* what) {
  std::fprintf(stderr, "benchmark failed: %s (error %lu)\n", what, ::GetLastError());
  return 1;
}

}  // namespace folianto::bench
