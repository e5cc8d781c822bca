// Jobs as a total station gives them, for the benchmarks: names counting up
// in a few series, codes in ASCII and GB2312 (房角, 路边, 电杆), coordinates of
// a city grid in metres with millimetres, every tenth height left empty.
#pragma once

#include <cstdio>
#include <string>

#include "records/RecordLine.h"
#include "records/TextLines.h"

namespace lumaq::bench {

inline std::string Fixed3(long thousandths) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%ld.%03ld", thousandths / 1000, thousandths % 1000);
  return buffer;
}

struct SamplePoint {
  std::string name, code, n, e, z;
};

// Point i of the sample job; state carries the pseudo-random sequence.
inline SamplePoint MakeSamplePoint(int i, unsigned& state) {
  static const char* const kPrefixes[] = {"P", "K", "JD", "TZ"};
  static const char* const kCodes[] = {
      "JD", "\xB7\xBF\xBD\xC7", "\xC2\xB7\xB1\xDF", "FW", "\xB5\xE7\xB8\xCB", "", "DL", "GC"};
  const auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  };
  SamplePoint p;
  p.name = std::string(kPrefixes[i % 4]) + std::to_string(i / 4 + 1);
  p.code = kCodes[next() % 8];
  p.n = Fixed3(3421000000L + static_cast<long>(next() % 2000000u));
  p.e = Fixed3(512000000L + static_cast<long>(next() % 2000000u));
  p.z = (i % 10 == 9) ? "" : Fixed3(30000L + static_cast<long>(next() % 40000u));
  return p;
}

inline constexpr unsigned kSampleSeed = 20240607u;

inline JobText SampleJobText(int lines) {
  JobText text;
  text.reserve(static_cast<std::size_t>(lines));
  unsigned state = kSampleSeed;
  for (int i = 0; i < lines; ++i) {
    const SamplePoint p = MakeSamplePoint(i, state);
    text.push_back(ComposeRecordLine(p.name, p.code, p.n, p.e, p.z));
  }
  return text;
}

}  // namespace lumaq::bench
