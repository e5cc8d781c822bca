// A receive journal played back: the job rebuilt from its frames through the
// very frame handling of the live receive (HandleAcceptedFrame), so that the
// same frames from the same start give the same job byte for byte.
#pragma once

#include <optional>
#include <string>

#include "comm/JournalLayout.h"
#include "rawdata/RawUnitState.h"
#include "records/JobDocument.h"

namespace lumaq {

struct JournalReplay {
  int frames = 0;  // whole frames handled
  // A last frame cut short (the system never had all of it, so the program
  // never answered it 0x00): left out.
  std::optional<Frame> cutFrame;
  // Where the journal is damaged: the frames before it are replayed, the
  // bytes from there on are not.
  std::optional<JournalDamage> damage;
};

// Replays the frames into job as the receive handled them: job is the job as
// the receive found it (after New, for a receive of the window or of
// lumaq-cli); its raw records are emptied first, as the receive does
// (StartReceivedFrames); after the frames CoordinateMode is what the last
// frame left (the job's own value when there was none), as the transfer
// dialog writes it back at its close.
//
// Raw records are read with units, which they change as in the live receive.
// The job comes out byte for byte as the receive left it when units start as
// the receive's did. A new program starts from the defaults; a window that
// had read raw records before the receive may have started elsewhere, which
// changes the text of raw records received before the transfer's own
// instrument and unit records (never the raw bytes).
JournalReplay ReplayFrames(const JournalContent& content, JobDocument& job, RawUnitState& units);

// The same for the journal at path. Raises FileError when it cannot be read
// (job and units unchanged).
JournalReplay ReplayJournal(const std::string& path, JobDocument& job, RawUnitState& units);

}  // namespace lumaq
