// A receive journal of either layout read into frames and played back: every
// byte is accounted for (the magic, the intact frames as written again, a
// last frame cut short, or the damaged rest set aside), and the frames give
// a job whose raw records, text and lines beside them agree.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "comm/FrameHeaders.h"
#include "comm/JournalLayout.h"
#include "comm/JournalReplay.h"
#include "rawdata/RawUnitState.h"
#include "records/JobDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaq;
  const std::string_view bytes = fuzz::Bytes(data, size);
  const JournalContent content = ParseJournal(bytes);

  // A journal torn inside its magic holds nothing.
  if (content.checksummed && size < kJournalMagic.size()) {
    FUZZ_CHECK(content.frames.empty() && !content.cutFrame && !content.damage);
    return 0;
  }
  std::string read(content.checksummed ? kJournalMagic : "");
  for (const Frame& frame : content.frames) {
    read += content.checksummed ? JournalFrameBytes(frame.header, frame.body) : FrameBytes(frame);
  }
  FUZZ_CHECK(!(content.cutFrame && content.damage));
  if (content.cutFrame) {
    const auto entry = FindFrameHeader(content.cutFrame->header);
    FUZZ_CHECK(entry && content.cutFrame->body.size() <= entry->bodySize);
    FUZZ_CHECK(bytes.substr(0, read.size()) == read);
    FUZZ_CHECK(bytes.size() - read.size() <= entry->bodySize + (content.checksummed ? 1 : 0));
    FUZZ_CHECK(bytes.substr(read.size() + 1, content.cutFrame->body.size()) ==
               content.cutFrame->body);
  } else if (content.damage) {
    FUZZ_CHECK(content.damage->offset == read.size());
    FUZZ_CHECK(content.damage->setAside == size - read.size() && content.damage->setAside > 0);
    FUZZ_CHECK(bytes.substr(0, read.size()) == read);
    FUZZ_CHECK(IsNoJournal(content) == (!content.checksummed && read.empty()));
  } else {
    FUZZ_CHECK(read == bytes);
  }

  JobDocument job;
  RawUnitState units;
  const JournalReplay replay = ReplayFrames(content, job, units);
  FUZZ_CHECK(replay.frames == static_cast<int>(content.frames.size()));
  std::size_t rawFrames = 0;
  for (const Frame& frame : content.frames) rawFrames += frame.header == kRawRecordHeader ? 1 : 0;
  FUZZ_CHECK(job.RawRecordBuffer.size() == rawFrames * 42);
  FUZZ_CHECK(job.HasRawRecords == (rawFrames > 0));
  FUZZ_CHECK(!(job.HasRawRecords && job.CoordinateMode));
  FUZZ_CHECK(job.HasRawRecords || job.LinesBesideRawRecords.empty());
  FUZZ_CHECK(job.LinesBesideRawRecords.size() <= job.JobText.size());
  return 0;
}
