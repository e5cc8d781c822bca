// What the program asks the user. The Qt adapter shows real boxes and file
// dialogs; tests answer from a script.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/PrintSurface.h"

namespace lumaq {

enum class MessageIcon { kNone, kInformation, kQuestion, kWarning, kError };
// kContinueCancel: "继续" answers kOk, "取消" kCancel.
enum class MessageButtons { kOk, kYesNo, kYesNoCancel, kContinueCancel };
enum class MessageResult { kOk, kYes, kNo, kCancel };

inline constexpr const char* kCaptionNote = "提示";
inline constexpr const char* kCaptionConfirm = "确认";
inline constexpr const char* kCaptionWarning = "警告";

struct FileDialogRequest {
  std::string title;
  // Descriptions and patterns alternating, separated by "|".
  std::string filter;
  // The file type selected when the dialog opens, 1-based.
  int filterIndex = 1;
  std::string fileName;       // preset file name
  std::string initialFolder;  // empty: wherever the dialog was last
  std::string defaultExtension = "BDT";
};

struct FileChoice {
  std::string path;
  int filterIndex = 1;  // the file type the user chose, 1-based
};

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;
  virtual MessageResult ShowMessage(const std::string& caption, const std::string& text,
                                    MessageIcon icon, MessageButtons buttons) = 0;
  // Nothing when the user cancels.
  virtual std::optional<FileChoice> AskOpenFile(const FileDialogRequest& request) = 0;
  // Asks before overwriting an existing file.
  virtual std::optional<FileChoice> AskSaveFile(const FileDialogRequest& request) = 0;
  // The print dialog: a surface on the printer the user chose, whose print
  // job carries documentTitle (UTF-8); nothing when the user cancels. Without
  // printers to offer, printing is always cancelled.
  virtual std::unique_ptr<PrintSurface> AskPrinter(const std::string& documentTitle) = 0;
};

}  // namespace lumaq
