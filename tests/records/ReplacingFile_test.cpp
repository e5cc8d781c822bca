#include "records/ReplacingFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <set>
#include <string>

#include "records/JobFiles.h"
#include "support/FileSizeLimit.h"
#include "support/SmallDisk.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::set<std::string> Entries(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// The message of the FileError that writing bytes to path raises, or "".
std::string WriteError(const std::string& path, const std::string& bytes = "new") {
  try {
    WriteFileAtomically(path, bytes);
  } catch (const FileError& error) {
    return error.what();
  }
  return "";
}

unsigned ModeOf(const std::string& path) {
  struct stat status {};
  ::stat(path.c_str(), &status);
  return status.st_mode & 07777;
}

TEST(ReplacingFile, EveryValidTargetNameLeavesARoomForTheTemporaryName) {
  TempDir dir;
  for (const std::size_t length : {std::size_t{1}, std::size_t{244}, std::size_t{NAME_MAX}}) {
    SCOPED_TRACE(length);
    const std::string name(length, 'N');
    const std::string path = dir.Path(name);
    EXPECT_LE(FileNameOf(ReplacingFile::TemporaryName(path, ~0ULL)).size(), std::size_t{NAME_MAX});
    EXPECT_EQ(WriteError(path, "bytes"), "");
    EXPECT_EQ(ReadFileBytes(path), "bytes");
    EXPECT_EQ(Entries(dir.Folder()), std::set<std::string>{name});
    fs::remove(path);
  }
}

TEST(ReplacingFile, ARegularFileWithoutWritePermissionIsRefusedAsReadOnly) {
  TempDir dir;
  for (const unsigned mode : {0444u, 0400u, 0555u}) {
    SCOPED_TRACE(mode);
    const std::string path = dir.Write("JOB.BDT", "old");
    fs::permissions(path, static_cast<fs::perms>(mode));
    EXPECT_EQ(WriteError(path), "无法写入文件 \"" + path + "\"：文件是只读的");
    EXPECT_EQ(ReadFileBytes(path), "old");
    EXPECT_EQ(ModeOf(path), mode);
    EXPECT_EQ(Entries(dir.Folder()), std::set<std::string>{"JOB.BDT"});
    fs::permissions(path, fs::perms::owner_all);
    fs::remove(path);
  }
}

TEST(ReplacingFile, KeepsTheModeOfTheFileItReplaces) {
  TempDir dir;
  for (const unsigned mode : {0600u, 0640u, 0664u, 0755u, 0200u}) {
    SCOPED_TRACE(mode);
    const std::string path = dir.Write("JOB.BDT", "old");
    fs::permissions(path, static_cast<fs::perms>(mode));
    EXPECT_EQ(WriteError(path), "");
    EXPECT_EQ(ModeOf(path), mode);
    fs::permissions(path, fs::perms::owner_all);
    EXPECT_EQ(ReadFileBytes(path), "new");
  }
}

TEST(ReplacingFile, KeepsOwnerAndGroupWhereAllowed) {
  if (::geteuid() != 0) GTEST_SKIP() << "only the superuser may give a file to another owner";
  TempDir dir;
  const std::string path = dir.Write("JOB.BDT", "old");
  ASSERT_EQ(::chown(path.c_str(), 4321, 8765), 0);
  ASSERT_EQ(WriteError(path), "");
  struct stat status {};
  ASSERT_EQ(::stat(path.c_str(), &status), 0);
  EXPECT_EQ(status.st_uid, 4321u);
  EXPECT_EQ(status.st_gid, 8765u);
}

TEST(ReplacingFile, FollowsSymbolicLinksAndReplacesTheFileTheyLeadTo) {
  TempDir dir;
  fs::create_directory(dir.Path("jobs"));
  const struct {
    const char* label;
    std::string link;
    std::string linkTarget;  // as the link holds it
    std::string file;        // the file replaced
  } cases[] = {
      {"relative link", dir.Path("A.BDT"), "jobs/A.BDT", dir.Path("jobs/A.BDT")},
      {"absolute link", dir.Path("B.BDT"), dir.Path("jobs/B.BDT"), dir.Path("jobs/B.BDT")},
      {"link to a link", dir.Path("C.BDT"), "A.BDT", dir.Path("jobs/A.BDT")},
      {"link to nothing yet", dir.Path("D.BDT"), "jobs/D.BDT", dir.Path("jobs/D.BDT")},
  };
  dir.Write("jobs/A.BDT", "old");
  dir.Write("jobs/B.BDT", "old");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    fs::create_symlink(c.linkTarget, c.link);
    EXPECT_EQ(WriteError(c.link, c.label), "");
    EXPECT_TRUE(fs::is_symlink(c.link));
    EXPECT_EQ(fs::read_symlink(c.link), c.linkTarget);
    EXPECT_EQ(ReadFileBytes(c.file), c.label);
  }
  EXPECT_EQ(Entries(dir.Path("jobs")), (std::set<std::string>{"A.BDT", "B.BDT", "D.BDT"}));
}

TEST(ReplacingFile, AFullDiskFailsTheWriteAndLeavesTheOldFileAndNoTemporary) {
  TempDir dir;
  const std::string old(1000, 'o');
  const std::string path = dir.Write("JOB.BDT", old);
  {
    test::FileSizeLimit limit(4096);
    EXPECT_EQ(WriteError(path, std::string(100000, 'n')),
              "无法写入文件 \"" + path + "\"：文件超过了允许的大小");
  }
  EXPECT_EQ(ReadFileBytes(path), old);
  EXPECT_EQ(Entries(dir.Folder()), std::set<std::string>{"JOB.BDT"});

  test::SmallDisk disk(64);
  if (!disk.Available()) GTEST_SKIP() << disk.Reason();
  const std::string onDisk = disk.Path("JOB.BDT");
  WriteFileAtomically(onDisk, old);
  EXPECT_EQ(WriteError(onDisk, std::string(200000, 'n')),
            "无法写入文件 \"" + onDisk + "\"：磁盘已满");
  EXPECT_EQ(ReadFileBytes(onDisk), old);
  EXPECT_EQ(Entries(disk.Folder()), std::set<std::string>{"JOB.BDT"});
}

TEST(ReplacingFile, AReadOnlyOrImmutableFolderFailsTheWriteNamingTheReason) {
  test::SmallDisk disk(64);
  if (!disk.Available()) GTEST_SKIP() << disk.Reason();
  const std::string onDisk = disk.Path("JOB.BDT");
  WriteFileAtomically(onDisk, "old");
  ASSERT_TRUE(disk.MakeReadOnly());
  EXPECT_EQ(WriteError(onDisk), "无法写入文件 \"" + onDisk + "\"：文件系统是只读的");
  EXPECT_EQ(ReadFileBytes(onDisk), "old");

  TempDir dir;
  const std::string path = dir.Write("JOB.BDT", "old");
  if (const int error = test::SetImmutable(dir.Folder(), true); error != 0) {
    GTEST_SKIP() << "cannot make a folder immutable here: " << std::strerror(error);
  }
  const std::string message = WriteError(path);
  test::SetImmutable(dir.Folder(), false);
  EXPECT_EQ(message, "无法写入文件 \"" + path + "\"：没有访问权限");
  EXPECT_EQ(ReadFileBytes(path), "old");
  EXPECT_EQ(Entries(dir.Folder()), std::set<std::string>{"JOB.BDT"});
}

}  // namespace
}  // namespace lumaq
