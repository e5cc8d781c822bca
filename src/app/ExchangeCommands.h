// The main window's Import and Export commands: records from and to the
// exchange files of other programs, and the raw measurements of a job as
// polar-coordinate data.
#pragma once

#include <string>
#include <string_view>

#include "app/JobCommands.h"
#include "app/MainCommands.h"
#include "app/MainView.h"
#include "app/UserDialogs.h"
#include "formats/ExchangeFormats.h"
#include "records/JobDocument.h"
#include "records/RecordTable.h"

namespace lumaq {

// The bytes unchanged: for fronts that show no code-page text.
std::string SameText(std::string_view bytes);

class ExchangeCommands {
 public:
  // displayText turns code-page bytes (the user format's name) into the UTF-8
  // of the dialogs; the window passes its GB18030 decoder. view shows the
  // progress of compacting the table.
  ExchangeCommands(MainCommands& main, JobDocument& job, RecordTable& table, MainView& view,
                   UserDialogs& dialogs, DisplayText displayText = SameText);

  // Replaces the records with those of a file in one of the import formats
  // (FormatsToImport), as one step that can be undone. A file that does not
  // look like the format chosen but like one other is told, and the user
  // imports it in that one (是), in the chosen one (否) or not at all (取消);
  // like several others, in the chosen one or not at all. A rejected
  // SCS2002 file, and a file, layer or point a GIS format refuses, are
  // reported with a warning box; any other failure shows "导入错误！" and is
  // raised on. The table and the job text change only by a complete import.
  void MenuJobImportClick();

  // Writes the records in one of the export formats of coordinate records,
  // or, in a measurement job with raw records, those records in a format of
  // raw records (polar-coordinate data). A file that cannot be written raises
  // FileError and an existing file is left as it was.
  void MenuJobExportClick();

 private:
  // The format to import path with (see MenuJobImportClick); nullptr when
  // the user cancels.
  const ExchangeFormat* ConfirmFormat(const ExchangeFormat& chosen, const std::string& path,
                                      const FormatList& formats);
  void ExportRecords();
  void ExportRawRecords();

  MainCommands& main_;
  JobDocument& job_;
  RecordTable& table_;
  UserDialogs& dialogs_;
  DisplayText displayText_;
  JobCommands jobCommands_;
  std::string lastExportName_;  // the file name the export dialog starts with
};

}  // namespace lumaq
