#include "comm/JournalReplay.h"

#include "comm/AcceptedFrame.h"

namespace lumaq {

JournalReplay ReplayFrames(const JournalContent& content, JobDocument& job, RawUnitState& units) {
  JournalReplay replay;
  StartReceivedFrames(job);
  bool coordinateData = job.CoordinateMode;
  for (const Frame& frame : content.frames) {
    coordinateData = HandleAcceptedFrame(frame.header, frame.body, job, units);
    ++replay.frames;
  }
  job.CoordinateMode = coordinateData;
  replay.cutFrame = content.cutFrame;
  replay.damage = content.damage;
  return replay;
}

JournalReplay ReplayJournal(const std::string& path, JobDocument& job, RawUnitState& units) {
  return ReplayFrames(ReadJournal(path), job, units);
}

}  // namespace lumaq
