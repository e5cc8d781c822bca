// The main window's job, table and commands (Import and Export included)
// without a window: what it shows is recorded and what it asks is answered
// from a script. Its receive journals go to a folder of its own.
#pragma once

#include <string>
#include <utility>

#include "app/ExchangeCommands.h"
#include "app/MainCommands.h"
#include "support/FakeMainView.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace lumaq::test {

struct HeadlessWindow {
  explicit HeadlessWindow(std::string programFolder = "/opt/lumaq")
      : commands(job, table, view, dialogs, std::move(programFolder)),
        exchange(commands, job, table, view, dialogs) {
    commands.Journals().SetFolder(stateFolder.Path("lumaq"));
  }

  // Puts a record into a row of the table, as typing its five cells would,
  // without the key presses.
  void SetRecord(int row, const std::string& name, const std::string& n, const std::string& e,
                 const std::string& z = "", const std::string& code = "") {
    table.SetCell(kColName, row, name);
    table.SetCell(kColN, row, n);
    table.SetCell(kColE, row, e);
    table.SetCell(kColZ, row, z);
    table.SetCell(kColCode, row, code);
  }

  TempDir stateFolder;
  JobDocument job;
  RecordTable table;
  FakeMainView view;
  ScriptedDialogs dialogs;
  MainCommands commands;
  ExchangeCommands exchange;
};

}  // namespace lumaq::test
