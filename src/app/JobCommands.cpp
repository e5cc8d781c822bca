#include "app/JobCommands.h"

#include <utility>

#include "formats/ExchangeFiles.h"
#include "formats/ExportFormats.h"
#include "rawdata/RawRecord.h"
#include "rawdata/RawUnitState.h"
#include "records/JobFiles.h"
#include "records/ReplacingFile.h"

namespace lumaq {

JobCommands::JobCommands(JobDocument& job, RecordTable& table, ProgressSink& progress)
    : job_(job), table_(table), progress_(progress) {}

std::size_t JobCommands::OpenRecordFile(const std::string& path) {
  return OpenRecordLines(ReadTextFile(path));
}

std::size_t JobCommands::OpenRecordLines(JobText lines) {
  const std::size_t leftOut = CapLines(lines, kMaxRecords);
  job_.JobText = std::move(lines);
  table_.FillTableFromJobText(job_.JobText, progress_);
  return leftOut;
}

bool JobCommands::OpenRawFile(std::string bytes) {
  TsmContent content = OpenTsmBytes(ProcessRawUnitState(), std::move(bytes));
  job_.RawRecordBuffer = std::move(content.RawRecordBuffer);
  job_.JobText = std::move(content.JobText);
  job_.HasRawRecords = !job_.RawRecordBuffer.empty();
  job_.LinesBesideRawRecords.clear();
  return content.accepted;
}

const JobText& JobCommands::TakeRecordsFromTable() {
  job_.JobText = table_.BuildJobTextFromTable(progress_);
  return job_.JobText;
}

bool JobCommands::PrepareSend() {
  if (!job_.CoordinateMode) return false;
  return !TakeRecordsFromTable().empty();
}

void JobCommands::Export(const ExchangeFormat& format, const ExchangeOptions& options,
                         const ByteSink& sink) const {
  if (format.takes == RecordKind::kRawRecords) {
    format.rawWriter(ProcessRawUnitState(), job_.RawRecordBuffer, sink);
  } else {
    WriteRecords(job_.JobText, format, options, sink);
  }
}

void JobCommands::ExportToFile(const ExchangeFormat& format, const ExchangeOptions& options,
                               const std::string& path) const {
  if (format.writer.files != nullptr) {
    ExportExchangeFile(job_.JobText, format, options, path);
    return;
  }
  ReplacingFile file(path);
  Export(format, options, [&file](std::string_view bytes) { file.Write(bytes); });
  file.Commit();
}

std::string JobCommands::WriteJob(const std::string& path, bool rawRecords) const {
  if (!rawRecords) {
    WriteTextFile(path, job_.JobText);
    return {};
  }
  WriteFileAtomically(path, job_.RawRecordBuffer);
  if (job_.LinesBesideRawRecords.empty()) return {};
  const std::string beside = TextFileBeside(path);
  WriteTextFile(beside, job_.LinesBesideRawRecords);
  return beside;
}

JobCommands::SavedReceive JobCommands::WriteReceivedJob(const std::string& path) const {
  SavedReceive saved;
  if (job_.CoordinateMode) {
    const JobText records = SavedRecordLines(job_.JobText);
    WriteTextFile(path, records);
    saved.leftOut = job_.JobText.size() - records.size();
  } else {
    saved.textBeside = WriteJob(path, job_.HasRawRecords && IsTsmExtension(path));
  }
  return saved;
}

}  // namespace lumaq
