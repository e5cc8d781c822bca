// Our DXF files must load in real CAD readers: ezdxf reads one back here.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "formats/ExportFormats.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/ExchangeFormatsByName.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using test::TempDir;

// Prints "POINT x y z layer" and "TEXT x y z height layer name" per entity.
constexpr const char* kReader = R"(import sys
import ezdxf
doc = ezdxf.readfile(sys.argv[1])
for e in doc.modelspace():
    if e.dxftype() == "POINT":
        x, y, z = e.dxf.location
        print("POINT %.3f %.3f %.3f %s" % (x, y, z, e.dxf.layer))
    elif e.dxftype() == "TEXT":
        x, y, z = e.dxf.insert
        print("TEXT %.3f %.3f %.3f %.1f %s %s" % (x, y, z, e.dxf.height, e.dxf.layer, e.dxf.text))
    else:
        print("OTHER " + e.dxftype())
)";

int Shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Debian's package installs for the system's python3, which an interpreter
// found first on PATH may not see.
std::string PythonWithEzdxf() {
  for (const char* python : {"/usr/bin/python3", "python3"}) {
    if (Shell(std::string(python) + " -c 'import ezdxf' >/dev/null 2>&1") == 0) return python;
  }
  return {};
}

TEST(DxfReader, EzdxfReadsThePointsAndTheirLabels) {
  const std::string python = PythonWithEzdxf();
  if (python.empty()) {
    GTEST_SKIP() << "python3 with ezdxf is missing (Debian package python3-ezdxf, installed "
                    "by tools/setup.sh): the DXF is not checked with a CAD reader";
  }
  TempDir dir;
  const JobText records{
      ComposeRecordLine("P1", "TREE", "3456.789", "1234.567", "12.300"),
      ComposeRecordLine("B-2", "", "-10.5", "20.25", "0.000"),
      ComposeRecordLine("K.3", "WALL", "9999999.999", "-999999.999", "-1.5"),
  };
  const std::string dxf = dir.Path("job.DXF");
  ExportRecordsToFile(records, test::Format("dxf"), {}, dxf);
  const std::string script = dir.Write("read.py", kReader);
  const std::string out = dir.Path("entities.txt");
  ASSERT_EQ(Shell(python + " '" + script + "' '" + dxf + "' >'" + out + "' 2>&1"), 0)
      << ReadFileBytes(out);
  EXPECT_EQ(ReadFileBytes(out),
            "POINT 1234.567 3456.789 12.300 point\n"
            "TEXT 1234.567 3456.789 12.300 0.2 PT# P1\n"
            "POINT 20.250 -10.500 0.000 point\n"
            "TEXT 20.250 -10.500 0.000 0.2 PT# B-2\n"
            "POINT -999999.999 9999999.999 -1.500 point\n"
            "TEXT -999999.999 9999999.999 -1.500 0.2 PT# K.3\n");
}

TEST(DxfReader, EzdxfReadsAnEmptyDrawing) {
  const std::string python = PythonWithEzdxf();
  if (python.empty()) GTEST_SKIP() << "python3 with ezdxf is missing (python3-ezdxf)";
  TempDir dir;
  const std::string dxf = dir.Path("empty.DXF");
  ExportRecordsToFile({}, test::Format("dxf"), {}, dxf);
  const std::string script = dir.Write("read.py", kReader);
  const std::string out = dir.Path("entities.txt");
  ASSERT_EQ(Shell(python + " '" + script + "' '" + dxf + "' >'" + out + "' 2>&1"), 0)
      << ReadFileBytes(out);
  EXPECT_EQ(ReadFileBytes(out), "");
}

}  // namespace
}  // namespace lumaq
