#include "rawdata/PolarLines.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <random>
#include <string>

#include "rawdata/RawFormat.h"
#include "rawdata/RawRecord.h"
#include "records/JobFiles.h"
#include "support/FileSizeLimit.h"
#include "support/RawRecordBuilder.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using test::BsRecord;
using test::DistRecord;
using test::RawRecordBuilder;
using test::StnRecord;

JobText Polar(const std::string& buffer, const RawUnitState& state = RawUnitState{}) {
  JobText lines;
  BuildPolarLines(state, buffer, lines);
  return lines;
}

std::string Stn(std::string_view name, unsigned char link) {
  return StnRecord(name, "", 1.6f, 100, 200, 10, link);
}
std::string Dist(std::string_view name, unsigned char link) {
  return DistRecord(name, "", 1.5f, 10.0f, 324000, 0, link);
}
std::string Bs(std::string_view name, unsigned char link) {
  return BsRecord(name, 1.5f, 1, 2, 3, link);
}

// The lines of the records above.
const std::string kS1 = "S1,1.600,200.000,100.000,10.000";
std::string StnLine(std::string_view name) {
  return std::string(name) + ",1.600,200.000,100.000,10.000";
}
std::string DistLine(std::string_view name) {
  return std::string(name) + ",1.500,10.000,0.0000,90.0000";
}
std::string BsLine(std::string_view name) {
  return std::string(name) + ",1.500,2.000,1.000,3.000";
}

TEST(BuildPolarLines, GroupsStationsWithTheirRecords) {
  struct Case {
    const char* label;
    std::string buffer;
    JobText expected;
  } cases[] = {
      {"empty buffer", "", {}},
      {"no station", Dist("P1", 1) + Bs("B1", 1), {}},
      {"one station only", Stn("S1", 1), {StnLine("S1")}},
      {"two stations, each with a distance",
       Stn("S1", 1) + Dist("P1", 1) + Stn("S2", 2) + Dist("P2", 2),
       {StnLine("S1"), DistLine("P1"), "", StnLine("S2"), DistLine("P2")}},
      {"a distance before its station is found after the wrap-around",
       Dist("P0", 1) + Stn("S1", 1) + Dist("P1", 1) + Dist("P2", 1),
       {StnLine("S1"), DistLine("P1"), DistLine("P2"), DistLine("P0")}},
      {"a backsight after two distances stands below the station",
       Stn("S1", 1) + Dist("P1", 1) + Dist("P2", 1) + Bs("B1", 1),
       {StnLine("S1"), BsLine("B1"), DistLine("P1"), DistLine("P2")}},
      {"several backsights in reverse search order",
       Bs("B0", 1) + Stn("S1", 1) + Bs("B1", 1) + Dist("P1", 1) + Bs("B2", 1),
       {StnLine("S1"), BsLine("B0"), BsLine("B2"), BsLine("B1"), DistLine("P1")}},
      {"other link bytes and other types are left out",
       Stn("S1", 1) + Dist("P9", 2) + std::string(RawRecordBuilder(0x00).NameCode("C").Link(1)) +
           std::string(RawRecordBuilder(0x02).NameCode("A").Link(1)) +
           std::string(RawRecordBuilder(0x05).NameCode("K").Link(1)) + Dist("P1", 1),
       {StnLine("S1"), DistLine("P1")}},
      {"stations sharing a link byte list the same records",
       Stn("S1", 7) + Dist("P1", 7) + Stn("S2", 7) + Bs("B2", 7),
       {StnLine("S1"), BsLine("B2"), DistLine("P1"), "", StnLine("S2"), BsLine("B2"),
        DistLine("P1")}},
      {"a remainder shorter than a record is ignored",
       Stn("S1", 1) + Dist("P1", 1).substr(0, 41),
       {StnLine("S1")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(Polar(c.buffer), c.expected);
  }
}

TEST(BuildPolarLines, ExampleInMetresAndDegrees) {
  const std::string buffer = StnRecord("S1", "", 1.6f, 100, 200, 10, 3) +
                             DistRecord("P1", "", 1.5f, 123.4567f, 324000, 163815, 3);
  EXPECT_EQ(Polar(buffer),
            (JobText{"S1,1.600,200.000,100.000,10.000", "P1,1.500,123.457,45.3015,90.0000"}));
}

TEST(BuildPolarLines, CodesOnlyWhenNotEmpty) {
  const std::string buffer = StnRecord("S1", "STN", 1.6f, 100, 200, 10, 3) +
                             BsRecord("B1", 1.5f, 1, 2, 3, 3) +
                             DistRecord("P1", "TREE", 1.5f, 10.0f, 324000, 0, 3);
  EXPECT_EQ(Polar(buffer), (JobText{"S1,1.600,200.000,100.000,10.000,STN", BsLine("B1"),
                                    "P1,1.500,10.000,0.0000,90.0000,TREE"}));
}

TEST(BuildPolarLines, UsesTheUnitsAndByteOrderInForceNow) {
  RawUnitState feetGon;
  feetGon.DistanceInFeet = true;
  feetGon.AngleUnit = kAngleGon;
  const std::string buffer = StnRecord("S1", "", 1.6f, 100, 200, 10, 3) +
                             DistRecord("P1", "", 1.5f, 1000.0f, 324000, 163815, 3);
  EXPECT_EQ(Polar(buffer, feetGon),
            (JobText{"S1,5.25,656.17,328.08,32.81", "P1,4.92,3280.84,50.5602,100.0000"}));

  RawUnitState leastFirst;
  leastFirst.SwapBytes = false;
  const std::string little = StnRecord("S1", "", 1.6f, 100, 200, 10, 3, false);
  EXPECT_EQ(Polar(little, leastFirst), JobText{kS1});
}

TEST(BuildPolarLines, AppendsToTheLinesGivenWithAnEmptyLineBefore) {
  JobText lines = {"kept"};
  BuildPolarLines(RawUnitState{}, Stn("S1", 1), lines);
  EXPECT_EQ(lines, (JobText{"kept", "", kS1}));
}

// The search as the export defines it, record by record, for comparison on
// buffers no one would write by hand.
JobText ReferencePolar(const std::string& buffer) {
  const RawUnitState state;
  JobText lines;
  const std::size_t n = buffer.size() / 42;
  auto type = [&](std::size_t i) { return static_cast<unsigned char>(buffer[i * 42]); };
  auto link = [&](std::size_t i) { return buffer[i * 42 + 41]; };
  auto single = [&](std::size_t i) {
    JobText one;
    BuildPolarLines(state, std::string(buffer.substr(i * 42, 42)), one);
    return one;
  };
  for (std::size_t i = 0; i < n; ++i) {
    if (type(i) != 0x03) continue;
    if (!lines.empty()) lines.emplace_back();
    lines.push_back(single(i).at(0));
    const std::size_t s = lines.size() - 1;
    for (std::size_t j = 1; j < n; ++j) {
      const std::size_t k = (i + j) % n;
      if (link(k) != link(i)) continue;
      // A lone BS or DIST record under a station record of its link byte.
      const std::string pair = std::string(buffer.substr(i * 42, 42)) + buffer.substr(k * 42, 42);
      if (type(k) == 0x06) {
        JobText both;
        BuildPolarLines(state, pair, both);
        lines.insert(lines.begin() + static_cast<long>(s) + 1, both.at(1));
      } else if (type(k) == 0x01) {
        JobText both;
        BuildPolarLines(state, pair, both);
        lines.push_back(both.at(1));
      }
    }
  }
  return lines;
}

TEST(BuildPolarLines, MatchesTheRecordByRecordSearchOnMixedBuffers) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 50; ++round) {
    std::string buffer;
    const int count = 1 + static_cast<int>(random() % 60);
    for (int r = 0; r < count; ++r) {
      const unsigned char link = static_cast<unsigned char>(random() % 4);
      const std::string name = "R" + std::to_string(r);
      switch (random() % 4) {
        case 0:
          buffer += Stn(name, link);
          break;
        case 1:
          buffer += Bs(name, link);
          break;
        case 2:
          buffer += Dist(name, link);
          break;
        default:
          buffer += std::string(RawRecordBuilder(0x00).NameCode(name).Link(link));
          break;
      }
    }
    SCOPED_TRACE(round);
    EXPECT_EQ(Polar(buffer), ReferencePolar(buffer));
  }
}

// Stations that share a link byte each list every record of that link: the
// lines grow with the square of the records.
std::string SharedLinkJob(int stations, int distances) {
  std::string buffer;
  for (int i = 0; i < stations; ++i) buffer += Stn("S" + std::to_string(i), 7);
  for (int i = 0; i < distances; ++i) buffer += Dist("P" + std::to_string(i), 7);
  return buffer;
}

TEST(WritePolarLines, HandsOnTheLinesBuildPolarLinesMakesOneByOne) {
  const std::string cases[] = {"", Stn("S1", 1), Stn("S1", 1) + Bs("B1", 1) + Dist("P1", 1),
                               Dist("P0", 2) + Stn("S1", 2) + Stn("S2", 2) + Bs("B", 2),
                               SharedLinkJob(3, 4)};
  for (const std::string& buffer : cases) {
    JobText written;
    WritePolarLines(RawUnitState{}, buffer,
                    [&](std::string_view line) { written.emplace_back(line); });
    EXPECT_EQ(written, Polar(buffer));
  }
}

TEST(WritePolarFile, WritesTheLinesWithCrLfAsTheyAreMade) {
  test::TempDir dir;
  const std::string path = dir.Path("POLAR.DAT");
  const std::string buffer = SharedLinkJob(50, 50);
  WritePolarFile(RawUnitState{}, buffer, path);
  EXPECT_EQ(ReadFileBytes(path), JoinLinesCrLf(Polar(buffer)));

  // Output past the file size limit fails as a full disk does: the old file
  // stays, no temporary is left, and the lines were never all in memory.
  WriteFileAtomically(path, "old");
  {
    test::FileSizeLimit limit(64 * 1024);
    EXPECT_THROW(WritePolarFile(RawUnitState{}, SharedLinkJob(400, 400), path), FileError);
  }
  EXPECT_EQ(ReadFileBytes(path), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Folder()),
                          std::filesystem::directory_iterator()),
            1);
}

}  // namespace
}  // namespace lumaq
