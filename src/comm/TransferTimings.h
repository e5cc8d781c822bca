// The timings of a transfer with the instrument, in one place: the protocol's
// pauses, the poll timer Timer1, and how often the counter is shown. How long
// bytes take on the wire is in WireTime.h; the port's read and write
// time-outs are ComPort1's settings (ApplyComPort1Design).
#pragma once

#include <chrono>

namespace lumaq {

// Send: until the instrument first answers, Timer1 purges the line and
// offers the poll byte 0xAA this often.
inline constexpr std::chrono::milliseconds kTimer1Interval{100};
// Send: once the instrument has first answered, Timer1 is off; when a request
// is awaited and the line stays silent this long, the poll byte was lost on
// the line, and the program purges and polls again rather than stall.
inline constexpr std::chrono::milliseconds kLostPollSilence{1000};
// Send: after a refusal 0xFF, the pause before the poll byte 0xAA.
inline constexpr std::chrono::milliseconds kRefusalPause{100};
// The end of a send, or a line error: its message stays this long before
// the dialog closes, which does not respond meanwhile.
inline constexpr std::chrono::milliseconds kEndMessagePause{2000};

// The counter is shown at most this often: a receive runs thousands of frames
// a second, and showing each would cost more than the frames. The dialog
// repaints Label3, lumaq-cli rewrites its line on standard error.
inline constexpr std::chrono::milliseconds kDialogCounterPace{50};
inline constexpr std::chrono::milliseconds kCliCounterPace{25};
// When the instrument has said nothing for this long, the dialog adds a hint
// under its waiting text: most often the instrument is not set to send (or to
// receive) at the rate in use, or the cable is not in.
inline constexpr std::chrono::milliseconds kSilenceHintDelay{10000};

// The dialog watches the line from its own event loop; while the port's
// input queue is full (a step has not yet read it) it looks again after this
// long rather than spin on the bytes still waiting.
inline constexpr std::chrono::milliseconds kFullQueueLookAgain{10};

// Inside a step the dialog lets its messages run at most this often: between
// steps they run anyway, and a step of a fast transfer is over long before a
// person could click.
inline constexpr std::chrono::milliseconds kStepMessagesPace{10};

// How long lumaq-cli waits for the line at most before it looks for Ctrl-C
// again.
inline constexpr std::chrono::milliseconds kCliInterruptLook{25};

}  // namespace lumaq
