#include "formats/ExchangeFormats.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/ExchangeFormatsByName.h"

namespace lumaq {
namespace {

using NameList = std::vector<std::string_view>;

NameList Names(const FormatList& formats) {
  NameList names;
  for (const ExchangeFormat* format : formats) names.push_back(format->name);
  return names;
}

TEST(ExchangeFormats, EveryEntryIsNamedShownAndReadOrWritten) {
  std::set<std::string_view> names;
  for (const ExchangeFormat& format : ExchangeFormats()) {
    SCOPED_TRACE(format.name);
    EXPECT_FALSE(format.name.empty());
    EXPECT_FALSE(format.description.empty());
    EXPECT_FALSE(format.pattern.empty());
    EXPECT_TRUE(format.Reads() || format.Writes());
    // A reader takes either a record a line or records of several lines.
    EXPECT_FALSE(format.reader.line != nullptr && format.reader.record != nullptr);
    // The writer is the one for the records the format takes.
    const bool raw = format.takes == RecordKind::kRawRecords;
    EXPECT_EQ(format.rawWriter != nullptr, raw);
    EXPECT_FALSE(raw && format.writer.record != nullptr);
    EXPECT_TRUE(names.insert(format.name).second) << "a second format of that name";
    EXPECT_EQ(FindExchangeFormat(format.name), &format);
  }
  EXPECT_EQ(FindExchangeFormat("pdf"), nullptr);
}

// The dialogs remember their file type by position: the lists keep their order.
TEST(ExchangeFormats, ListsInTheOrderOfTheDialogs) {
  EXPECT_EQ(Names(FormatsToImport()),
            (NameList{"gts", "scs2002", "sv300", "cass", "csv", "gpkg", "shp", "geojson", "kml"}));
  EXPECT_EQ(Names(FormatsToExport(RecordKind::kCoordinateRecords)),
            (NameList{"gts", "scs2002", "sv300", "cass", "csv", "dxf", "user", "gpkg", "shp",
                      "geojson", "kml", "landxml"}));
  EXPECT_EQ(Names(FormatsToExport(RecordKind::kRawRecords)), NameList{"polar"});

  const FormatList imports = FormatsToImport();
  for (const auto& [typeIndex, name] : {std::pair{1, "gts"},
                                        {4, "cass"},
                                        {5, "csv"},
                                        {6, "gpkg"},
                                        {9, "kml"},
                                        {0, "gts"},
                                        {10, "gts"},
                                        {-1, "gts"}}) {
    SCOPED_TRACE(typeIndex);
    EXPECT_EQ(FormatOfTypeIndex(imports, typeIndex).name, name);
  }
}

TEST(ExchangeFormats, DialogFiltersShowTheFileTypesAsTheyWere) {
  EXPECT_EQ(DialogFilter(FormatsToImport()), test::kImportFilter);
  EXPECT_EQ(DialogFilter(FormatsToExport(RecordKind::kRawRecords)), test::kRawExportFilter);

  // The user's layout is the seventh type, under its own name and extension.
  UserFormat user = FallbackUserFormat();
  const auto decode = [](std::string_view bytes) { return "<" + std::string(bytes) + ">"; };
  const FormatList exports = FormatsToExport(RecordKind::kCoordinateRecords);
  user.name = "Survey";
  user.extension = "txt";
  EXPECT_EQ(
      DialogFilter(exports, user, decode),
      std::string(test::kExportFixedFilter) + "|<Survey>(自定义)|*.<txt>" + test::kGisExportTypes);
  user.extension.clear();
  EXPECT_EQ(
      DialogFilter(exports, user, decode),
      std::string(test::kExportFixedFilter) + "|<Survey>(自定义)|*.*" + test::kGisExportTypes);
}

}  // namespace
}  // namespace lumaq
