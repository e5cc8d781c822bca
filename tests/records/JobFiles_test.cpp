#include "records/JobFiles.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <utility>

#include "records/InputLimits.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

namespace fs = std::filesystem;
using Folder = lumaq::test::TempDir;

std::set<std::string> Entries(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

TEST(WriteFileAtomically, ReplacesTheWholeFile) {
  Folder dir;
  const std::string path = dir.Path("JOB.BDT");
  WriteFileAtomically(path, "a much longer first content\r\n");
  const std::string bytes("P1\0\xb5\xe3\r\n\x81", 8);
  WriteFileAtomically(path, bytes);
  EXPECT_EQ(ReadFileBytes(path), bytes);
  EXPECT_EQ(Entries(dir.Folder()), std::set<std::string>{"JOB.BDT"});
  WriteFileAtomically(path, "");
  EXPECT_EQ(ReadFileBytes(path), "");
}

TEST(WriteFileAtomically, FailureRaisesAndLeavesNothingBehind) {
  Folder dir;
  dir.Write("plain.txt", "plain");
  fs::create_directory(dir.Path("JOB.BDT"));
  dir.Write("JOB.BDT/inner.txt", "inner bytes");
  const std::pair<const char*, std::string> cases[] = {
      {"missing folder", dir.Path("missing/JOB.BDT")},
      {"target is a folder", dir.Path("JOB.BDT")},
      {"folder is a file", dir.Path("plain.txt/JOB.BDT")},
  };
  for (const auto& [label, path] : cases) {
    SCOPED_TRACE(label);
    EXPECT_THROW(WriteFileAtomically(path, "new bytes"), FileError);
    EXPECT_EQ(Entries(dir.Folder()), (std::set<std::string>{"JOB.BDT", "plain.txt"}));
    EXPECT_EQ(Entries(dir.Path("JOB.BDT")), std::set<std::string>{"inner.txt"});
    EXPECT_EQ(ReadFileBytes(dir.Path("plain.txt")), "plain");
    EXPECT_EQ(ReadFileBytes(dir.Path("JOB.BDT/inner.txt")), "inner bytes");
  }
}

TEST(ReadFileBytes, MissingFileRaisesAnErrorNamingIt) {
  Folder dir;
  const std::string path = dir.Path("NOSUCH.BDT");
  try {
    ReadFileBytes(path);
    FAIL() << "no FileError";
  } catch (const FileError& error) {
    EXPECT_EQ(error.what(), "无法打开文件 \"" + path + "\"：文件或文件夹不存在");
  }
  EXPECT_THROW(ReadTextFile(path), FileError);
}

TEST(ThrowFileError, GivesTheCommonReasonsInTheProgramsWords) {
  const struct {
    int error;
    const char* reason;
  } cases[] = {
      {ENOENT, "文件或文件夹不存在"},
      {EACCES, "没有访问权限"},
      {EPERM, "没有访问权限"},
      {ENOSPC, "磁盘已满"},
      {EDQUOT, "磁盘已满"},
      {EROFS, "文件系统是只读的"},
      {ENAMETOOLONG, "文件名太长"},
      {EISDIR, "这是一个文件夹"},
      {EFBIG, "文件超过了允许的大小"},
      {0, "系统错误 5（Input/output error）"},
      {EXDEV, "系统错误 18（Invalid cross-device link）"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.error);
    try {
      ThrowFileError("无法写入文件", "JOB.BDT", c.error);
    } catch (const FileError& error) {
      EXPECT_EQ(error.what(), "无法写入文件 \"JOB.BDT\"：" + std::string(c.reason));
    }
  }
}

TEST(ReadFileBytes, RefusesAFileTooLargeByItsSizeBeforeReadingIt) {
  Folder dir;
  // A sparse file of 4 GB: reading it would take long and fill the memory.
  const std::string path = dir.Path("HUGE.TSM");
  dir.Write("HUGE.TSM", "");
  fs::resize_file(path, std::uintmax_t{4} << 30);
  try {
    ReadFileBytes(path);
    FAIL() << "a 4 GB file was read";
  } catch (const OversizedInput& error) {
    EXPECT_EQ(error.what(), "文件太大，无法读入 \"" + path + "\"：超过 256 MB");
  }
}

// What is no regular file is refused at once as an input and left as it is as
// an output: a FIFO is never waited on, a device never replaced by a file.
TEST(JobFiles, WhatIsNoRegularFileIsNeitherReadNorReplaced) {
  Folder dir;
  const std::string fifo = dir.Path("FIFO.BDT");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string device = dir.Path("NULL.BDT");
  const bool haveDevice = ::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  const std::string socketPath = dir.Path("SOCKET.BDT");
  const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  fs::create_directory(dir.Path("FOLDER.BDT"));
  fs::create_symlink(fifo, dir.Path("LINK.BDT"));
  struct Case {
    std::string path;
    const char* is;
  } cases[] = {
      {fifo, "这是一个管道（FIFO），不是普通文件"},
      {dir.Path("LINK.BDT"), "这是一个管道（FIFO），不是普通文件"},
      {device, "这是一个设备，不是普通文件"},
      {"/dev/zero", "这是一个设备，不是普通文件"},
      {socketPath, "这是一个套接字，不是普通文件"},
      {dir.Path("FOLDER.BDT"), "这是一个文件夹，不是普通文件"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    if (c.path == device && !haveDevice) continue;
    const fs::file_type before = fs::status(c.path).type();
    try {
      ReadFileBytes(c.path);
      ADD_FAILURE() << "read";
    } catch (const NotARegularFile& error) {
      EXPECT_EQ(error.what(), "无法打开文件 \"" + c.path + "\"：" + c.is);
    }
    if (c.path.rfind("/dev/", 0) == 0) continue;  // the system's own: never written to
    try {
      WriteFileAtomically(c.path, "P1\r\n");
      ADD_FAILURE() << "replaced";
    } catch (const NotARegularFile& error) {
      EXPECT_EQ(error.what(), "无法写入文件 \"" + c.path + "\"：" + c.is);
    }
    EXPECT_EQ(fs::status(c.path).type(), before);
  }
  ::close(socket);
  // A link to a regular file is read and replaced as the file.
  const std::string file = dir.Write("FILE.BDT", "old");
  fs::create_symlink(file, dir.Path("TOFILE.BDT"));
  WriteFileAtomically(dir.Path("TOFILE.BDT"), "new");
  EXPECT_EQ(ReadFileBytes(dir.Path("TOFILE.BDT")), "new");
  EXPECT_TRUE(fs::is_symlink(dir.Path("TOFILE.BDT")));
}

TEST(ReadTextFile, ALineOverOneMegabyteIsAnInputError) {
  Folder dir;
  const std::string path = dir.Write("LONG.BDT", "P1\r\n" + std::string(kMaxLineBytes + 1, 'x'));
  try {
    ReadTextFile(path);
    FAIL() << "the long line was read";
  } catch (const OversizedInput& error) {
    EXPECT_EQ(error.what(), "文件中的行太长，无法读入 \"" + path + "\"：第 2 行超过 1 MB");
  }
}

TEST(TextFiles, WriteCrLfAndReadAnyLineBreak) {
  Folder dir;
  const std::string path = dir.Path("JOB.TXT");
  WriteTextFile(path, {"P1", "", "\xb5\xe3"});
  EXPECT_EQ(ReadFileBytes(path), "P1\r\n\r\n\xb5\xe3\r\n");
  EXPECT_EQ(ReadTextFile(dir.Write("mixed.txt", "a\r\nb\rc\nd")), (JobText{"a", "b", "c", "d"}));
  WriteTextFile(path, {});
  EXPECT_EQ(ReadTextFile(path), JobText{});
}

TEST(CapLines, KeepsTheFirstLines) {
  JobText lines;
  for (int i = 0; i < 20000; ++i) lines.push_back(std::to_string(i));
  EXPECT_EQ(CapLines(lines, 15999), 4001u);
  EXPECT_EQ(CapLines(lines, 16000), 0u);  // shorter lists stay as they are
  ASSERT_EQ(lines.size(), 15999u);
  EXPECT_EQ(lines.back(), "15998");
}

TEST(JobFileNames, FileNameAndExtension) {
  const struct {
    const char *path, *name, *extension;
  } cases[] = {
      {"/data/jobs/JOB.BDT", "JOB.BDT", ".BDT"},
      {"job.bdt", "job.bdt", ".bdt"},
      {"/data/jobs.old/JOB", "JOB", ""},
      {"/data/a.b.tsm", "a.b.tsm", ".tsm"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(FileNameOf(c.path), c.name);
    EXPECT_EQ(ExtensionOf(c.path), c.extension);
  }
}

TEST(JobFileNames, ExtensionRulesAreCaseExact) {
  const struct {
    const char* path;
    bool bdt, upperBdt, tsm;
  } cases[] = {
      {"/d/JOB.BDT", true, true, false},   {"/d/job.bdt", true, false, false},
      {"/d/JOB.Bdt", false, false, false}, {"/d/JOB.bDT", false, false, false},
      {"/d/RAW.TSM", false, false, true},  {"/d/raw.tsm", false, false, true},
      {"/d/RAW.Tsm", false, false, false}, {"/d/JOB.BDT.TXT", false, false, false},
      {"/d/BDT", false, false, false},     {"/d.BDT/JOB", false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(IsBdtExtension(c.path), c.bdt);
    EXPECT_EQ(IsUpperBdtExtension(c.path), c.upperBdt);
    EXPECT_EQ(IsTsmExtension(c.path), c.tsm);
  }
}

TEST(IsAcceptedTsm, NeedsWholeRecordsAndAnInstrumentRecordFirst) {
  auto records = [](std::size_t size, char first, char second = '\x81') {
    std::string bytes(size, '\0');
    if (size > 0) bytes[0] = first;
    if (size > 42) bytes[42] = second;
    return bytes;
  };
  const std::pair<std::string, bool> cases[] = {
      {"", true},
      {records(42, '\x81'), true},
      {records(84, '\x81', '\x01'), true},  // the second record's type plays no part
      {records(85, '\x81'), false},
      {records(41, '\x81'), false},
      {records(84, '\x01'), false},
  };
  for (const auto& [bytes, accepted] : cases)
    EXPECT_EQ(IsAcceptedTsm(bytes), accepted) << bytes.size() << " bytes, first " << int(bytes[0]);
}

}  // namespace
}  // namespace lumaq
