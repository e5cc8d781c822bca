// The content checks of the import formats, as the import uses them: the
// formats a file's first bytes look like.
#include "formats/ContentChecks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/FormatDetection.h"
#include "formats/GisFormats.h"

namespace lumaq {
namespace {

using Names = std::vector<std::string>;
using namespace std::string_literals;

Names LooksLike(const std::string& bytes) {
  Names names;
  for (const ExchangeFormat* format : FormatsItLooksLike(bytes, FormatsToImport())) {
    names.emplace_back(format->name);
  }
  return names;
}

std::string GeoPackageHead() {
  std::string head = "SQLite format 3"s + '\0' + std::string(52, '\x01') + "GPKG";
  return head + std::string(100, '\0');
}

std::string ShapefileHead() {
  std::string head = "\x00\x00\x27\x0A"s + std::string(24, '\0') + "\xE8\x03\x00\x00"s;
  return head + std::string(100, '\0');
}

TEST(ContentChecks, TellTheFormatsAFileCouldBe) {
  const struct {
    const char* label;
    std::string bytes;
    Names formats;
  } cases[] = {
      {"GTS points or CSV: N E Z as the 2nd to 4th",
       "P1,1234.567,3456.789,12.3,TREE\r\n",
       {"gts", "csv"}},
      {"GTS with its comma after an empty code",
       "P1,1234.567,3456.789,12.3,\r\nP2,1,2,3,\r\n",
       {"gts", "csv"}},
      {"CASS", "P1,TREE,1234.567,3456.789,12.3\r\nP2,,1,2,3\r\n", {"cass"}},
      {"CASS with a code of digits could be any of three",
       "P1,5,1234.567,3456.789,12.3\r\n",
       {"gts", "cass", "csv"}},
      {"SV300", "1,P1,TREE,3456.789,1234.567,12.3\r\n", {"sv300"}},
      {"CSV quoted", "\"P1\",\"3456.789\",\"1234.567\",\"12.3\"\r\n", {"csv"}},
      {"CSV with blanks for commas", "P1 3456.789 1234.567 12.3\n", {"csv"}},
      {"SCS2002", "2\r\nP1\r\n\r\n3456.789\r\n1234.567\r\n12.3\r\nP2\r\n", {"scs2002"}},
      {"a header line fits nothing", "Name,N,E,Z\r\nP1,1,2,3\r\n", {}},
      {"a file cut in its last line judges the lines before",
       "P1,TREE,1,2,3\r\n" + std::string(kContentCheckBytes, 'x'),
       {"cass"}},
      {"binary", "P1,TREE,1,2,3\r\n"s + '\0', {}},
      {"empty", "", {}},
      {"GeoPackage", GeoPackageHead(), {"gpkg"}},
      {"SQLite that is no GeoPackage", "SQLite format 3"s + std::string(120, '\0'), {}},
      {"Shapefile", ShapefileHead(), {"shp"}},
      {"GeoJSON", "\xEF\xBB\xBF {\n \"type\": \"FeatureCollection\"", {"geojson"}},
      {"JSON without a type", "{\"features\": []}", {}},
      {"KML", "<?xml version=\"1.0\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\">", {"kml"}},
      {"XML of another kind", "<?xml version=\"1.0\"?>\n<LandXML>", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(LooksLike(c.bytes.substr(0, kContentCheckBytes)), c.formats);
  }
}

TEST(ContentChecks, AFileIsToldAboutOnlyWhenItDoesNotFitTheChosenFormat) {
  const FormatList imports = FormatsToImport();
  const std::string csv = "\"P1\",\"3456.789\",\"1234.567\",\"12.3\"\r\n";
  const auto others = [&](const char* chosen, const std::string& bytes) {
    FormatList found = OtherFormatsItLooksLike(*FindExchangeFormat(chosen), bytes, imports);
    Names names;
    for (const ExchangeFormat* format : found) names.emplace_back(format->name);
    return names;
  };
  EXPECT_EQ(others("cass", csv), Names{"csv"});
  EXPECT_EQ(others("csv", csv), Names{});
  EXPECT_EQ(others("scs2002", "P1,1,2,3,T\r\n"), (Names{"gts", "csv"}));
  EXPECT_EQ(others("gpkg", "nothing of the kind"), Names{});
  EXPECT_EQ(
      MismatchText(*FindExchangeFormat("cass"), {FindExchangeFormat("csv")}, "p.csv"),
      "文件“p.csv”看起来不是“CASS5.X文件(*.DAT)”格式，而像是“CSV文件(逗号分隔)(*.CSV)”格式。");
}

TEST(GisRecordText, NamesKeepTheirColumnsAndCoordinatesTheirElevenCharacters) {
  EXPECT_EQ(CutToColumn("ABCDEFGHIJ", 8), "ABCDEFGH");
  EXPECT_EQ(CutToColumn("ABCDEFG\xB5\xE3", 8), "ABCDEFG");      // not inside 点
  EXPECT_EQ(CutToColumn("ABCDE\x81\x30\x81\x30", 8), "ABCDE");  // a four-byte character
  EXPECT_EQ(CoordinateText(3386123.4564), "3386123.456");
  EXPECT_EQ(CoordinateText(38528765.4321), "38528765.43");
  EXPECT_EQ(CoordinateText(-12.0), "-12.000");
}

}  // namespace
}  // namespace lumaq
