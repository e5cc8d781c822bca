// The main window's commands when files go wrong: more records than the table
// holds, a file that vanishes between the dialog and the reading, a line too
// long, and every writer on a disk that fills up mid-save.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "comm/IniFile.h"
#include "formats/ExchangeFormats.h"
#include "formats/ExportFormats.h"
#include "formats/UserFormat.h"
#include "rawdata/PolarLines.h"
#include "records/InputLimits.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/FileSizeLimit.h"
#include "support/HeadlessWindow.h"
#include "support/RawRecordBuilder.h"
#include "support/SmallDisk.h"
#include "support/TempDir.h"
#include "support/WorkingFolder.h"

namespace lumaq {
namespace {

namespace fs = std::filesystem;

std::string Lines(const std::string& line, int count) {
  std::string bytes;
  for (int i = 0; i < count; ++i) bytes += line + "\r\n";
  return bytes;
}

const std::string kTree = ComposeRecordLine("P1", "TREE", "3456.789", "1234.567", "12.300");

class FileFaultsTest : public ::testing::Test, protected test::HeadlessWindow {
 protected:
  void SetUp() override { commands.StartUp({}); }
  test::TempDir dir;
};

TEST_F(FileFaultsTest, ImportTellsHowManyRecordsTheLimitLeftOut) {
  const struct {
    int format;
    std::string bytes;
    std::size_t leftOut;
  } cases[] = {
      {4, Lines("P1,TREE,1234.567,3456.789,12.300", 16050), 51},
      {5, Lines("P1,1,2,3,C", 15999), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    dialogs.messages.clear();
    if (c.leftOut > 0) dialogs.NextMessageAnswer(MessageResult::kOk);
    dialogs.NextOpenAnswer(FileChoice{dir.Write("IN.DAT", c.bytes), c.format});
    exchange.MenuJobImportClick();
    EXPECT_EQ(job.JobText.size(), 15999u);
    if (c.leftOut == 0) {
      EXPECT_TRUE(dialogs.messages.empty());
    } else {
      ASSERT_EQ(dialogs.messages.size(), 1u);
      EXPECT_EQ(dialogs.messages[0].caption, "提示");
      EXPECT_EQ(dialogs.messages[0].text,
                "记录超过 15999 条，其余 " + std::to_string(c.leftOut) + " 条未读入。");
    }
  }
}

TEST_F(FileFaultsTest, ImportOfBinaryBytesIsAFormatMismatch) {
  dialogs.NextMessageAnswer(MessageResult::kOk);
  dialogs.NextOpenAnswer(FileChoice{dir.Write("IN.CSV", std::string("P1,1,2,3\0\x01\x02", 11)), 5});
  exchange.MenuJobImportClick();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "数据格式不符，无法导入！");
  EXPECT_TRUE(job.JobText.empty());
}

TEST_F(FileFaultsTest, AFileThatVanishedAfterTheDialogLeavesTheJobAsItWas) {
  dialogs.NextOpenAnswer(FileChoice{dir.Write("JOB.BDT", kTree + "\r\n"), 1});
  commands.MenuJobOpenClick();
  const std::string gone = dir.Write("GONE.BDT", kTree + "\r\n");
  fs::remove(gone);
  dialogs.NextOpenAnswer(FileChoice{gone, 1});
  try {
    commands.MenuJobOpenClick();
    FAIL() << "a missing file was opened";
  } catch (const FileError& error) {
    EXPECT_EQ(error.what(), "无法打开文件 \"" + gone + "\"：文件或文件夹不存在");
  }
  EXPECT_EQ(job.FilePath, dir.Path("JOB.BDT"));
  EXPECT_EQ(table.Cell(kColName, 1), "P1");

  dialogs.NextMessageAnswer(MessageResult::kOk);  // "导入错误！"
  dialogs.NextOpenAnswer(FileChoice{gone, 4});
  EXPECT_THROW(exchange.MenuJobImportClick(), FileError);
}

TEST_F(FileFaultsTest, OpenRefusesALineOverOneMegabyte) {
  const std::string path = dir.Write("LONG.TXT", "a\r\n" + std::string(kMaxLineBytes + 1, 'x'));
  dialogs.NextOpenAnswer(FileChoice{path, 2});
  EXPECT_THROW(commands.MenuJobOpenClick(), OversizedInput);
  EXPECT_TRUE(job.Untitled);
}

// Every writer of the program, each replacing an old file of 100 bytes.
struct Writer {
  const char* label;
  std::function<void(const std::string& path)> write;
};

std::vector<Writer> Writers() {
  const JobText records(3000, kTree);
  std::string raw;
  for (int i = 0; i < 2000; ++i) raw += test::StnRecord("S", "", 1.5f, 1, 2, 3, 1);
  std::vector<Writer> writers = {
      {"job or text file", [=](const std::string& path) { WriteTextFile(path, records); }},
      {"raw records", [=](const std::string& path) { WriteFileAtomically(path, raw); }},
      {"polar export", [=](const std::string& path) { WritePolarFile(RawUnitState{}, raw, path); }},
      {"settings file",
       [](const std::string& path) {
         IniFile file;
         for (int i = 0; i < 6000; ++i) file.Write("PortMap", "COM" + std::to_string(i), "x");
         file.Save(path);
       }},
  };
  for (const ExchangeFormat* format : FormatsToExport(RecordKind::kCoordinateRecords)) {
    // The GIS formats go through ReplacingFile too (ExportExchangeFile).
    if (format->writer.record == nullptr) continue;
    writers.push_back({"export", [=](const std::string& path) {
                         ExportRecordsToFile(records, *format, {}, path);
                       }});
  }
  return writers;
}

TEST_F(FileFaultsTest, EveryWriterOnAFullDiskFailsAndKeepsTheOldFile) {
  const std::string old(100, 'o');
  for (const Writer& writer : Writers()) {
    SCOPED_TRACE(writer.label);
    test::TempDir folder;
    const std::string path = folder.Write("OLD", old);
    {
      test::FileSizeLimit limit(16 * 1024);
      EXPECT_THROW(writer.write(path), FileError);
    }
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Folder()), fs::directory_iterator()), 1);
  }

  test::SmallDisk disk(32);
  if (!disk.Available()) GTEST_SKIP() << disk.Reason();
  for (const Writer& writer : Writers()) {
    SCOPED_TRACE(writer.label);
    const std::string path = disk.Path("OLD");
    WriteFileAtomically(path, old);
    try {
      writer.write(path);
      ADD_FAILURE() << "the writer filled a full disk";
    } catch (const FileError& error) {
      EXPECT_EQ(error.what(), "无法写入文件 \"" + path + "\"：磁盘已满");
    }
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(disk.Folder()), fs::directory_iterator()), 1);
  }
}

TEST_F(FileFaultsTest, TheSettingsFileIsReplacedAsTheUserKeepsIt) {
  test::WorkingFolder here(dir.Folder());
  const std::string settings = "[ComPort1]\r\nPort=COM1\r\n";
  // A read-only "Commpara" stays as it is.
  const std::string commpara = dir.Write("Commpara", settings);
  fs::permissions(commpara, fs::perms::owner_read);
  try {
    WriteUserFormat(FallbackUserFormat(), dir.Folder());
    FAIL() << "a read-only settings file was replaced";
  } catch (const FileError& error) {
    EXPECT_EQ(error.what(), std::string("无法写入文件 \"Commpara\"：文件是只读的"));
  }
  EXPECT_EQ(ReadFileBytes(commpara), settings);

  // A "Commpara" that is a link to the settings kept elsewhere stays a link,
  // and the file it leads to keeps its mode.
  fs::permissions(commpara, fs::perms::owner_all);
  fs::create_directory(dir.Path("shared"));
  fs::rename(commpara, dir.Path("shared/Commpara"));
  fs::permissions(dir.Path("shared/Commpara"), static_cast<fs::perms>(0640));
  fs::create_symlink("shared/Commpara", commpara);
  WriteUserFormat(FallbackUserFormat(), dir.Folder());
  EXPECT_TRUE(fs::is_symlink(commpara));
  EXPECT_EQ(fs::status(commpara).permissions(), static_cast<fs::perms>(0640));
  EXPECT_EQ(ParseUserFormat(ReadTextFile(dir.Path("shared/Commpara"))), FallbackUserFormat());
}

}  // namespace
}  // namespace lumaq
