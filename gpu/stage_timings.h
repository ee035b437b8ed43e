// Seconds spent in each stage from files to the first frame, collected when a caller (the
// start-up benchmark) asks for them.
#pragma once

#include <chrono>

struct StageTimings {
  double meshReading = 0;        // zel_OpenMesh
  double solutionReading = 0;    // zel_OpenSolution
  double surfaceExtraction = 0;  // boundary faces of volume elements
  double lagrangeToBezier = 0;   // geometry and solution conversion
  double uploads = 0;            // vertex arrays and textures
  double assembly = 0;           // the whole scene assembly, the stages above included
  double firstFrame = 0;
};

// Adds the seconds between its construction and destruction to a stage, when there is one.
class StageClock {
 public:
  explicit StageClock(double* stage) : m_stage(stage), m_start(std::chrono::steady_clock::now()) {}
  // The stage `field` of `timings`, when there are timings to fill.
  StageClock(StageTimings* timings, double StageTimings::*field)
      : StageClock(timings ? &(timings->*field) : nullptr) {}
  ~StageClock() {
    if (m_stage)
      *m_stage += std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
  }
  StageClock(const StageClock&) = delete;
  StageClock& operator=(const StageClock&) = delete;

 private:
  double* m_stage;
  std::chrono::steady_clock::time_point m_start;
};
