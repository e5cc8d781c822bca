// The independent readers of the GIS tests: GDAL's ogrinfo, PROJ's cs2cs and
// Python's lxml, run as programs, their output taken apart.
#pragma once

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/ChildProcess.h"

namespace lumaq::test {

// One feature as ogrinfo -al prints it: name and code ("" when absent), the
// point's x, y and z.
struct OgrFeature {
  std::string name;
  std::string code;
  double x = 0;
  double y = 0;
  double z = 0;
};

struct OgrLayer {
  std::string text;  // all ogrinfo printed: the layer's SRS among it
  std::vector<OgrFeature> features;
};

inline OgrLayer ReadWithOgrinfo(const std::string& path) {
  const CliResult result = RunCli({"-al", path}, {}, "/usr/bin/ogrinfo");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  OgrLayer layer{result.out, {}};
  const std::regex field(R"(^  ([A-Za-z]+) \((?:String|Real)\) = (.*)$)");
  const std::regex point(R"(^  POINT Z \((\S+) (\S+) (\S+)\)$)");
  std::istringstream lines(result.out);
  for (std::string line; std::getline(lines, line);) {
    std::smatch match;
    if (line.starts_with("OGRFeature(")) {
      layer.features.emplace_back();
    } else if (layer.features.empty()) {
      continue;
    } else if (std::regex_match(line, match, field)) {
      if (match[1] == "name" || match[1] == "Name") layer.features.back().name = match[2];
      if (match[1] == "code") layer.features.back().code = match[2];
    } else if (std::regex_match(line, match, point)) {
      layer.features.back().x = std::stod(match[1]);
      layer.features.back().y = std::stod(match[2]);
      layer.features.back().z = std::stod(match[3]);
    }
  }
  return layer;
}

// The two numbers of each line cs2cs prints for each "a b" line of input,
// transformed from one system to another in their authorities' axis order.
inline std::vector<std::pair<double, double>> Cs2cs(const std::string& from, const std::string& to,
                                                    const std::string& input) {
  CliRun run;
  run.input = input;
  const CliResult result = RunCli({"-d", "9", from, to}, run, "/usr/bin/cs2cs");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  std::vector<std::pair<double, double>> pairs;
  std::istringstream lines(result.out);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream numbers(line);
    double a = 0;
    double b = 0;
    if (numbers >> a >> b) pairs.emplace_back(a, b);
  }
  return pairs;
}

// What a Python script printed, run with Debian's python3 (where python3-lxml
// is installed, whatever interpreter is first on the path).
inline std::string RunPython(const std::string& script, const std::vector<std::string>& args) {
  std::vector<std::string> arguments{"-c", script};
  arguments.insert(arguments.end(), args.begin(), args.end());
  const CliResult result = RunCli(arguments, {}, "/usr/bin/python3");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  return result.out;
}

}  // namespace lumaq::test
