// What the transfer dialog TForm2 shows and does around the protocol: its
// status line Label1, its counter Label3, its timer Timer1, closing, and the
// reports of a port that cannot be opened and of a record that cannot be
// sent. TransferDriver implements it for the fronts (the Qt dialog and
// lumaq-cli, each a TransferFace); tests record it. Texts are UTF-8.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace lumaq {

// The dialog's own texts.
inline constexpr const char* kTransferCaption = "数据传输";
inline constexpr const char* kTransferringText = "正在与全站仪转输数据，请稍候...";
inline constexpr const char* kTransferCountCaption = "已传输记录数";
inline constexpr const char* kTransferCancelCaption = "取 消";
inline constexpr const char* kReceiveEndText = "数据转输终止!";
inline constexpr const char* kSendEndText = "数据传输结束!";
inline constexpr const char* kLineErrorText = "通讯错误!请重新连接！";
inline constexpr const char* kFrameNotKeptText = "数据无法保存，接收已停止！";
inline constexpr const char* kPortWarningCaption = "警告";
inline constexpr const char* kPortOpenFailedText = "无法打开串口！程序无法正常运行！";

// A record of the job that the instrument's binary frame cannot carry.
struct UnsendableRecord {
  int lineNumber = 0;     // 1-based line of the job text
  std::string pointName;  // the record's point name, job text bytes
  std::string reason;     // UTF-8: which value and why
};

// The one-line report of an unsendable record, with its point name as the
// caller shows it (decoded for a window, the job's bytes for a terminal).
std::string UnsendableRecordText(const UnsendableRecord& record, std::string_view shownName);

class TransferView {
 public:
  virtual ~TransferView() = default;

  // The status line.
  virtual void SetLabel1(const std::string& text) = 0;
  // The counter of frames accepted (receive) or acknowledged (send).
  virtual void SetLabel3(int count) = 0;
  // Lets pending user-interface messages run once; a click on Cancel is
  // handled here (as TransferSession::Button1Click).
  virtual void ProcessMessages() = 0;
  // Waits; the dialog does not respond meanwhile.
  virtual void Sleep(std::chrono::milliseconds duration) = 0;
  // Timer1: while enabled, TransferSession::Timer1Timer every kTimer1Interval.
  virtual void SetTimer1Enabled(bool enabled) = 0;
  // Posts a close request; it comes back later, outside any protocol step, as
  // TransferSession::Close (or as the window's own close query).
  virtual void PostCloseRequest() = 0;
  // The close query was granted and FormClose has run: end the modal loop
  // without asking again.
  virtual void CloseDialog() = 0;
  // The warning box: caption kPortWarningCaption, kPortOpenFailedText as
  // its first line and the detail (device, reason, what to do) as its
  // second, OK button.
  virtual void ShowPortOpenFailure(const std::string& detail) = 0;
  // A record that cannot be sent has stopped the send.
  virtual void ShowUnsendableRecord(const UnsendableRecord& record) = 0;
};

}  // namespace lumaq
