#include "CliFiles.h"

#include <filesystem>
#include <iostream>
#include <system_error>

#include "CliCommand.h"
#include "records/RecordTable.h"

namespace lumaq::cli {

void RefuseOutputIsInput(const std::string& in, const std::string& out) {
  std::error_code error;  // an output that does not exist yet is another file
  if (std::filesystem::equivalent(in, out, error) && !error) {
    throw UsageError("输出文件就是输入文件，不能写入：\"" + out + "\"");
  }
}

void WarnRecordsLeftOut(const std::string& in, std::size_t count) {
  if (count == 0) return;
  std::cerr << "提示：\"" << in << "\" 的" << RecordsLeftOutText(count) << '\n';
}

}  // namespace lumaq::cli
