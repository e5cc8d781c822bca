// lumaq-cli and the GIS formats: every export read back by an independent
// reader (ogrinfo, lxml) with its names, codes, coordinates and reference
// system, one point checked against cs2cs, the imports back into a job's
// system, bad input refused with nothing written, a missing GIS module, and
// imports that recognise the file.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "records/RecordTable.h"
#include "support/ChildProcess.h"
#include "support/GisReaders.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

namespace fs = std::filesystem;
using test::CliResult;

// Three points in Wuhan, in CGCS2000 / 3-degree Gauss-Kruger CM 114E: a
// code, none, and a name and code in the code page (点A, 道).
struct Point {
  std::string name, code, n, e, z, utf8Name, utf8Code;
};
const std::vector<Point> kPoints{
    {"P1", "TREE", "3386123.456", "528765.432", "23.500", "P1", "TREE"},
    {"P2", "", "3386200.000", "528800.000", "24.125", "P2", ""},
    {"\xB5\xE3"
     "A",
     "\xB5\xC0", "3386250.500", "528700.250", "0.000", "点A", "道"},
};
constexpr const char* kCrs = "EPSG:4547";
constexpr const char* kCrsName = "CGCS2000 / 3-degree Gauss-Kruger CM 114E";

std::string JobBytes(const std::vector<Point>& points) {
  JobText lines;
  for (const Point& p : points) lines.push_back(ComposeRecordLine(p.name, p.code, p.n, p.e, p.z));
  return JoinLinesCrLf(lines);
}

// "N E" lines of the points, as cs2cs reads EPSG:4547 (northing first).
std::string NorthEastLines() {
  std::string lines;
  for (const Point& p : kPoints) lines += p.n + " " + p.e + "\n";
  return lines;
}

class CliGisTest : public ::testing::Test {
 protected:
  CliResult Run(const std::vector<std::string>& arguments) {
    test::CliRun run;
    run.workingFolder = dir.Folder();
    return test::RunCli(arguments, run);
  }
  CliResult Export(const std::string& format, const std::string& out) {
    return Run({"export", format, "--crs", kCrs, job, out});
  }

  test::TempDir dir;
  std::string job = dir.Write("JOB.BDT", JobBytes(kPoints));
};

TEST_F(CliGisTest, EveryLayerExportReadsBackWithItsSystem) {
  const auto lonLat = test::Cs2cs(kCrs, "EPSG:4326", NorthEastLines());  // lat, lon
  ASSERT_EQ(lonLat.size(), kPoints.size());
  struct Case {
    std::string format, out, system;
    bool inLonLat;
  };
  for (const Case& c : {Case{"gpkg", "out.gpkg", "PROJCRS[\"" + std::string(kCrsName), false},
                        Case{"shp", "out.shp", "PROJCRS[\"" + std::string(kCrsName), false},
                        Case{"geojson", "out.geojson", "GEOGCRS[\"WGS 84\"", true},
                        Case{"kml", "out.kml", "GEOGCRS[\"WGS 84\"", true}}) {
    SCOPED_TRACE(c.format);
    const CliResult result = Export(c.format, dir.Path(c.out));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const test::OgrLayer layer = test::ReadWithOgrinfo(dir.Path(c.out));
    EXPECT_NE(layer.text.find(c.system), std::string::npos) << layer.text;
    ASSERT_EQ(layer.features.size(), kPoints.size());
    for (std::size_t i = 0; i < kPoints.size(); ++i) {
      const test::OgrFeature& f = layer.features[i];
      EXPECT_EQ(f.name, kPoints[i].utf8Name);
      // A Shapefile's table cannot tell an empty text from none.
      const bool none = c.format == "shp" && f.code == "(null)";
      EXPECT_EQ(none ? "" : f.code, kPoints[i].utf8Code);
      // x is the easting (or longitude), y the northing (or latitude).
      const double x = c.inLonLat ? lonLat[i].second : std::stod(kPoints[i].e);
      const double y = c.inLonLat ? lonLat[i].first : std::stod(kPoints[i].n);
      const double tolerance = c.inLonLat ? 1e-8 : 1e-6;
      EXPECT_NEAR(f.x, x, tolerance);
      EXPECT_NEAR(f.y, y, tolerance);
      EXPECT_DOUBLE_EQ(f.z, std::stod(kPoints[i].z));
    }
  }
  // The Shapefile's .prj names the system as its readers spell it (and ogrinfo
  // knew it by that name above); every file shares the stem.
  EXPECT_NE(ReadFileBytes(dir.Path("out.prj")).find("CGCS2000_3_Degree_GK_CM_114E"),
            std::string::npos);
  for (const char* suffix : {".shp", ".shx", ".dbf", ".prj", ".cpg"}) {
    EXPECT_TRUE(fs::exists(dir.Path(std::string("out") + suffix))) << suffix;
  }
}

TEST_F(CliGisTest, LandXmlHoldsNorthingEastingElevationAndTheSystem) {
  const std::string out = dir.Path("out.xml");
  ASSERT_EQ(Export("landxml", out).exitCode, 0);
  const std::string printed = test::RunPython(
      "import sys\n"
      "from lxml import etree\n"
      "ns = {'l': 'http://www.landxml.org/schema/LandXML-1.2'}\n"
      "root = etree.parse(sys.argv[1]).getroot()\n"
      "cs = root.find('l:CoordinateSystem', ns)\n"
      "print(root.get('version'), cs.get('epsgCode'), cs.get('name'), sep='|')\n"
      "for p in root.iterfind('l:CgPoints/l:CgPoint', ns):\n"
      "    print(p.get('name'), p.get('code') or '', p.text, sep='|')\n",
      {out});
  std::string expected = "1.2|4547|" + std::string(kCrsName) + "\n";
  for (const Point& p : kPoints) {
    expected += p.utf8Name + "|" + p.utf8Code + "|" + p.n + " " + p.e + " " + p.z + "\n";
  }
  EXPECT_EQ(printed, expected);
}

// Each layer export imported again: into the same system the records come
// back as they were; into zone 38 with the zone number (EPSG:4526) as cs2cs
// puts them there.
TEST_F(CliGisTest, ImportsTakeThePointsIntoTheJobsSystem) {
  const auto zone38 = test::Cs2cs(kCrs, "EPSG:4526", NorthEastLines());  // N, E
  ASSERT_EQ(zone38.size(), kPoints.size());
  JobText inZone38;
  for (std::size_t i = 0; i < kPoints.size(); ++i) {
    char n[32], e[32];
    std::snprintf(n, sizeof n, "%.3f", zone38[i].first);
    std::snprintf(e, sizeof e, "%.2f", zone38[i].second);  // 11 characters at most
    inZone38.push_back(ComposeRecordLine(kPoints[i].name, kPoints[i].code, n, e, kPoints[i].z));
  }
  for (const std::string format : {"gpkg", "shp", "geojson", "kml"}) {
    SCOPED_TRACE(format);
    const std::string file = dir.Path("out." + format);
    ASSERT_EQ(Export(format, file).exitCode, 0);
    ASSERT_EQ(Run({"import", format, "--crs", kCrs, file, dir.Path("back.BDT")}).exitCode, 0);
    EXPECT_EQ(ReadTextFile(dir.Path("back.BDT")), SplitTextLines(JobBytes(kPoints)));
    ASSERT_EQ(Run({"import", format, "--crs", "EPSG:4526", file, dir.Path("z38.BDT")}).exitCode, 0);
    EXPECT_EQ(ReadTextFile(dir.Path("z38.BDT")), inZone38);
  }
}

// Refused input: exit 2, the reason on standard error, and the output as
// it was.
TEST_F(CliGisTest, BadInputIsRefusedAndNothingIsWritten) {
  const std::string far = dir.Write(
      "FAR.BDT", JobBytes({kPoints[0], {"FAR", "", "3386123.456", "1100000.000", "1", "", ""}}));
  const std::string empty = dir.Write("EMPTY.BDT", "");
  const std::string tsm = dir.Write("FIELD.TSM", "");
  const std::string lines =
      dir.Write("lines.geojson",
                R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{},)"
                R"("geometry":{"type":"LineString","coordinates":[[114.3,30.5],[114.4,30.6]]}}]})");
  const std::string points = dir.Write(
      "points.geojson",
      R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{"name":"Q"},)"
      R"("geometry":{"type":"Point","coordinates":[114.3,30.5]}}]})");
  const std::string garbage = dir.Write("garbage.gpkg", std::string(2000, 'x'));
  struct Case {
    std::vector<std::string> arguments;
    std::string reason;
  };
  const std::string out = dir.Path("OUT");
  const std::vector<Case> cases{
      {{"export", "gpkg", "--crs", "EPSG:999999", job, out}, "未知的坐标系代码 EPSG:999999"},
      {{"export", "gpkg", "--crs", "EPSG:4326", job, out}, "不是投影坐标系"},
      {{"export", "kml", "--crs", "EPSG:4547x", job, out}, "不是 EPSG 代码"},
      {{"export", "shp", "--crs", kCrs, far, out},
       "点 FAR（N 3386123.456，E 1100000.000）在 " + std::string(kCrsName) +
           "（EPSG:4547）的适用范围之外约 "},
      {{"export", "geojson", "--crs", kCrs, empty, out}, "作业中没有坐标点可导出"},
      {{"export", "gpkg", "--crs", kCrs, tsm, out}, "测量数据文件"},
      {{"export", "csv", "--crs", kCrs, job, out}, "--crs is for the formats"},
      {{"import", "gpkg", "--crs", kCrs, garbage, out}, "GDAL 不能把文件"},
      {{"import", "geojson", "--crs", kCrs, lines, out}, "中没有点图层"},
      {{"import", "geojson", "--crs", kCrs, "--layer", "roads", points, out}, "没有名为“roads”"},
      {{"import", "geojson", "--crs", "EPSG:32651", points, out}, "适用范围之外约"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    dir.Write("OUT", "old");
    const CliResult result = Run(c.arguments);
    EXPECT_EQ(result.exitCode, 2) << result.err;
    EXPECT_NE(result.err.find(c.reason), std::string::npos) << result.err;
    EXPECT_EQ(ReadFileBytes(out), "old");
  }
  // How far, in km: E 1100000 lies about 454 km east of the zone's 115.5°E.
  const CliResult far1 = Run({"export", "shp", "--crs", kCrs, far, dir.Path("f.shp")});
  EXPECT_NE(far1.err.find("约 454."), std::string::npos) << far1.err;
  EXPECT_FALSE(fs::exists(dir.Path("f.shp")));
  EXPECT_FALSE(fs::exists(dir.Path("f.dbf")));
}

TEST_F(CliGisTest, WithoutTheModuleTheGisFormatsSaySoAndTheOthersWork) {
  const std::string copy = dir.Path("lumaq-cli");
  fs::copy_file(LUMAQ_CLI, copy);
  test::CliRun run;
  run.workingFolder = dir.Folder();
  const CliResult gis = test::RunCli({"export", "gpkg", "--crs", kCrs, job, "out.gpkg"}, run, copy);
  EXPECT_EQ(gis.exitCode, 1);
  EXPECT_NE(gis.err.find("无法载入 GIS 模块 liblumaq_gis.so"), std::string::npos) << gis.err;
  EXPECT_FALSE(fs::exists(dir.Path("out.gpkg")));
  EXPECT_EQ(test::RunCli({"export", "csv", job, "out.csv"}, run, copy).exitCode, 0);
}

TEST_F(CliGisTest, AnImportOfMoreThanTheTableHoldsIsReported) {
  std::string json = R"({"type":"FeatureCollection","features":[)";
  for (int i = 1; i <= 16001; ++i) {
    json += std::string(i > 1 ? "," : "") + R"({"type":"Feature","properties":{"name":"K)" +
            std::to_string(i) + R"("},"geometry":{"type":"Point","coordinates":[114.3,30.5,1]}})";
  }
  const std::string file = dir.Write("many.geojson", json + "]}");
  const CliResult result = Run({"import", "geojson", "--crs", kCrs, file, dir.Path("M.BDT")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.err.find(RecordsLeftOutText(2)), std::string::npos) << result.err;
  const JobText records = ReadTextFile(dir.Path("M.BDT"));
  ASSERT_EQ(records.size(), 15999u);
  EXPECT_EQ(RecordLineName(records.back()), "K16001");
}

// The content checks at work: a warning for a file that looks like another
// format, none for one that could be either, and --detect.
TEST_F(CliGisTest, ImportTellsAFileThatLooksLikeAnotherFormat) {
  const std::string csv = dir.Write("p.csv", "\"P1\",\"3456.789\",\"1234.567\",\"12.3\",\"T\"\r\n");
  const std::string either = dir.Write("e.txt", "P1,3456.789,1234.567,12.3,T\r\n");
  ASSERT_EQ(Export("gpkg", dir.Path("g.gpkg")).exitCode, 0);
  struct Case {
    std::vector<std::string> arguments;
    int exitCode;
    std::string err;  // "" for nothing on standard error
  };
  const std::string out = dir.Path("D.BDT");
  for (const Case& c : std::vector<Case>{
           {{"import", "cass", csv, out}, 0, "像是“CSV文件(逗号分隔)(*.CSV)”格式"},
           {{"import", "csv", either, out}, 0, ""},
           {{"import", "gts", either, out}, 0, ""},
           {{"import", "csv", dir.Path("g.gpkg"), out}, 2, "像是“GeoPackage 文件(*.gpkg)”"},
           {{"import", "--detect", csv, out}, 0, "看起来是 csv 格式"},
           {{"import", "--detect", "cass", csv, out}, 0, "看起来是 csv 格式"},
           {{"import", "--detect", "csv", either, out}, 0, ""},
           {{"import", "--detect", either, out}, 2, "看起来像 gts 或 csv 格式"},
           {{"import", csv, out}, 2, "FORMAT is missing"},
       }) {
    SCOPED_TRACE(c.arguments[1] + " " + c.arguments[2]);
    const CliResult result = Run(c.arguments);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
    if (c.err.empty()) {
      EXPECT_EQ(result.err, "");
    }
    EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
  }
  ASSERT_EQ(Run({"import", "--detect", csv, out}).exitCode, 0);
  EXPECT_EQ(ReadTextFile(out),
            JobText{ComposeRecordLine("P1", "T", "3456.789", "1234.567", "12.3")});
}

}  // namespace
}  // namespace lumaq
