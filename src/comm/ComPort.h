// The serial port component: one serial line to the total station with its
// settings, opening and closing, reads and writes bounded by time-outs,
// purging, an event thread that reports arriving bytes and line errors on the
// owner's thread, and its settings in the settings file.
//
// All operations belong to the owner's thread (the one that runs the
// Dispatcher). OnRxChar and OnError run there too, one at a time; while one
// runs, no further event is dispatched. A handler may Read, Write, ClearBuffer,
// sleep and let the owner's event loop run. Bytes a handler leaves stay queued
// and are reported again, with everything then waiting, when more arrive.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "comm/ComError.h"
#include "comm/ComInputQueue.h"
#include "comm/ComPortOptions.h"
#include "comm/ComSettings.h"
#include "comm/Dispatcher.h"
#include "comm/LineWatch.h"
#include "comm/PortNames.h"
#include "comm/SerialDevice.h"

namespace lumaq {

class IniFile;
class TComThread;

// The longest Close waits for what is still to be sent to leave; a line that
// never takes it (held by flow control) must not hang the close.
inline constexpr std::chrono::milliseconds kCloseDrainLimit{1000};

class TCustomComPort {
 public:
  using RxCharHandler = std::function<void(TCustomComPort& sender, int count)>;
  using ErrorHandler = std::function<void(TCustomComPort& sender, TComErrors errors)>;
  using ExceptionHandler = std::function<void(TCustomComPort& sender, std::exception_ptr error)>;

  // dispatcher runs the event handlers on the owner's thread; it must outlive
  // the port's open time. name is the section of the settings file.
  explicit TCustomComPort(Dispatcher& dispatcher, std::string name = "ComPort1");
  // With a backend of the caller's (tests).
  TCustomComPort(Dispatcher& dispatcher, std::unique_ptr<SerialDevice> device,
                 std::string name = "ComPort1");
  // Closes the port. Must not run inside the port's own event handler.
  virtual ~TCustomComPort();
  TCustomComPort(const TCustomComPort&) = delete;
  TCustomComPort& operator=(const TCustomComPort&) = delete;

  const std::string& Name() const { return name_; }

  // --- Settings ----------------------------------------------------------
  const std::string& Port() const { return port_; }
  // Normalises name; a changed port of an open line is closed and reopened.
  void SetPort(std::string_view name);
  TBaudRate BaudRate() const { return baudRate_; }
  void SetBaudRate(TBaudRate value);
  int CustomBaudRate() const { return customBaudRate_; }
  void SetCustomBaudRate(int value);
  TDataBits DataBits() const { return dataBits_; }
  void SetDataBits(TDataBits value);
  TStopBits StopBits() const { return stopBits_; }
  void SetStopBits(TStopBits value);
  TComParity& Parity() { return parity_; }
  const TComParity& Parity() const { return parity_; }
  TComFlowControl& FlowControl() { return flowControl_; }
  const TComFlowControl& FlowControl() const { return flowControl_; }
  TComTimeouts& Timeouts() { return timeouts_; }
  const TComTimeouts& Timeouts() const { return timeouts_; }
  TComBuffer& Buffer() { return buffer_; }
  const TComBuffer& Buffer() const { return buffer_; }
  // The events the event thread waits for; taken at Open. Of them, evRxChar
  // and evError are reported on this system.
  TComEvents Events() const { return events_; }
  void SetEvents(TComEvents value) { events_ = value; }
  std::uint8_t EventChar() const { return eventChar_; }
  void SetEventChar(std::uint8_t value);
  bool DiscardNull() const { return discardNull_; }
  void SetDiscardNull(bool value);
  // smThreadSync and smWindowSync run the handlers through the dispatcher,
  // smNone on the event thread itself. Taken at Open.
  TSyncMethod SyncMethod() const { return syncMethod_; }
  void SetSyncMethod(TSyncMethod value) { syncMethod_ = value; }
  // The owner's own loop watches the line (WatchLine) and no event thread
  // runs: every event then costs no switch between threads, which a transfer
  // of thousands of frames pays twice a frame. For an owner that waits on
  // nothing else (lumaq-cli) or whose event loop watches WatchHandle (the
  // transfer dialog). Taken at Open.
  bool OwnerWatches() const { return ownerWatches_; }
  void SetOwnerWatches(bool value) { ownerWatches_ = value; }
  TStoredProps StoredProps() const { return storedProps_; }
  void SetStoredProps(TStoredProps value) { storedProps_ = value; }

  // Where Port leads on this system (see PortNames.h). A device path set here
  // is opened instead, whatever Port says.
  const ComPortMap& PortMap() const { return portMap_; }
  void SetPortMap(ComPortMap map) { portMap_ = std::move(map); }
  const std::string& DevicePath() const { return devicePath_; }
  void SetDevicePath(std::string path) { devicePath_ = std::move(path); }
  // The device Open opens.
  std::string ResolvedDevicePath() const;

  bool Connected() const { return connected_; }
  void SetConnected(bool value);

  // --- Operations ----------------------------------------------------------
  // Opens the device exclusively, applies the settings and starts the event
  // thread. Raises EComPort 1 when the device cannot be opened (another
  // program holds it, it does not exist) and 7 when the line settings cannot
  // be applied; the port is then closed.
  void Open();
  // Purges the input, lets the output drain (at most kCloseDrainLimit), stops
  // the event thread and waits for it, releases the device.
  // Never raises. A handler already handed to the owner's thread and not yet
  // started never runs. Called inside a handler, the thread is joined later.
  void Close();
  // Discards what was received (input) and what is still to be sent (output).
  void ClearBuffer(bool input, bool output);
  // Writes count bytes; waits at most WriteTotalMultiplier * count +
  // WriteTotalConstant ms (no limit when both are 0). Returns the bytes
  // written; a time-out is no error.
  int Write(const void* buffer, int count);
  // Reads count bytes. Ends when count bytes have arrived, when more than
  // ReadInterval ms pass between two bytes, or when ReadTotalMultiplier * count
  // + ReadTotalConstant ms have passed since the call. Returns the bytes read;
  // a time-out is no error.
  int Read(void* buffer, int count);
  // Bytes received and not yet read.
  int InputCount();
  // With OwnerWatches, on the owner's thread: waits until bytes arrive, a
  // line error comes or the line goes away, or until deadline, and then runs
  // the handlers as the event thread would. False when nothing was reported
  // (also while the port is closed or has no events: then it just waits).
  bool WatchLine(SerialClock::time_point deadline);
  // With OwnerWatches, while open and until the line is seen gone: what an
  // event loop may watch for WatchLine to have something to report (see
  // SerialDevice::WatchHandle); -1 otherwise.
  int WatchHandle() const;
  // With OwnerWatches, once the owner's loop saw WatchHandle ready: takes
  // what the line holds and runs the handlers, without waiting. False when
  // nothing was reported.
  bool TakeLineEvents();

  // While updates are begun, changed settings are not applied; the last
  // EndUpdate applies all of them (when open).
  void BeginUpdate();
  void EndUpdate();

  // The settings file (stIniFile; there is no registry here). Any failure
  // raises EComPort 16 (store) or 17 (load), with the cause nested.
  void StoreSettings(TStoreType type, const std::string& fileName);
  void LoadSettings(TStoreType type, const std::string& fileName);

  // --- Events --------------------------------------------------------------
  RxCharHandler OnRxChar;
  ErrorHandler OnError;
  // An exception that escaped OnRxChar or OnError. Without a handler it is
  // written to standard error. The port goes on either way.
  ExceptionHandler OnException;

  // The port's section of a settings file already read: the keys of its
  // basic settings written into it, or read from it (a missing or unknown
  // value keeps the setting as it is).
  virtual void StoreIniFile(IniFile& file);
  virtual void LoadIniFile(const IniFile& file);

 protected:
  virtual void CreateHandle();
  virtual void DestroyHandle();
  virtual void SetupComPort();

  virtual void DoAfterClose() {}
  virtual void DoAfterOpen() {}
  virtual void DoBeforeClose() {}
  virtual void DoBeforeOpen() {}
  virtual void DoRxChar(int count);
  virtual void DoError(TComErrors errors);
  // Re-apply a group of settings; nothing happens while closed or while an
  // update is begun. The time-outs need nothing applied: Read and Write take
  // them at every call.
  virtual void ApplyDCB();
  virtual void ApplyTimeouts();
  virtual void ApplyBuffer();

 private:
  void ApplyDCBNow();
  void ApplyBufferNow();
  bool InHandler() const;
  void JoinRetiredThreads();
  template <typename T>
  void Change(T& field, T value);

  // Owner's thread: one dispatch of the event thread.
  // Runs the handlers for what the owner's watch took, if anything.
  bool Report(const LineWatch::Outcome& outcome);
  // allQueued: the device held nothing more when the event was taken.
  void RunDispatch(bool rxChar, unsigned lineErrors, bool lineGone, bool allQueued = false);
  // InputCount for an event: what the port holds when the device fails.
  int WaitingCount();
  void Guarded(const std::function<void()>& handler);

  Dispatcher& dispatcher_;
  std::unique_ptr<SerialDevice> device_;
  // The received bytes the port holds, shared with the event thread.
  ComInputQueue queue_{*device_};
  std::string name_;
  std::string port_ = "COM1";
  TBaudRate baudRate_ = br9600;
  int customBaudRate_ = 9600;
  TDataBits dataBits_ = dbEight;
  TStopBits stopBits_ = sbOneStopBit;
  TComParity parity_{*this};
  TComFlowControl flowControl_{*this};
  TComTimeouts timeouts_{*this};
  TComBuffer buffer_{*this};
  TComEvents events_ = kAllComEvents;
  std::uint8_t eventChar_ = 0;
  bool discardNull_ = false;
  TSyncMethod syncMethod_ = smThreadSync;
  bool ownerWatches_ = false;
  TStoredProps storedProps_{spBasic};
  ComPortMap portMap_;
  std::string devicePath_;

  bool connected_ = false;
  int updateCount_ = 0;
  std::unique_ptr<TComThread> thread_;
  // In place of the thread while the owner watches.
  std::unique_ptr<LineWatch> ownerWatch_;
  // Threads stopped from inside their own handler, joined later.
  std::vector<std::unique_ptr<TComThread>> retiredThreads_;
  std::atomic<std::thread::id> handlerThread_{};

  // The option groups re-apply their settings through ApplyDCB, ApplyTimeouts
  // and ApplyBuffer.
  friend class TComParity;
  friend class TComFlowControl;
  friend class TComTimeouts;
  friend class TComBuffer;
};

class TComPort : public TCustomComPort {
 public:
  using TCustomComPort::TCustomComPort;
};

// The values the program's port ComPort1 is designed with: 1200 baud, 8 data
// bits, no parity, one stop bit, no flow control, DTR and RTS off, read
// time-outs of 200 ms between bytes and 100 ms per byte plus 20 s in all,
// events evRxChar and evError.
void ApplyComPort1Design(TCustomComPort& port);

}  // namespace lumaq
