// Print (Ctrl+P): the job text as a listing on a printer the user chooses.
#pragma once

#include <string>

#include "app/UserDialogs.h"
#include "records/JobDocument.h"

namespace lumaq {

inline constexpr const char* kPageTooShortForRecords =
    "纸张太短：一页放不下页眉和一行记录。\n没有打印。";
inline constexpr const char* kPageTooShortForText = "纸张太短：一页放不下一行文字。\n没有打印。";

// Prints the job text as it stands (a coordinate job's table edits since the
// last tidy, save or load are not in it). caption is the window title. An
// error of the printer ends the print job and is passed on to the caller.
void PrintJob(const JobDocument& job, const std::string& caption, UserDialogs& dialogs);

}  // namespace lumaq
