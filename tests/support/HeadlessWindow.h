// The main window's job, table and commands (Import and Export included)
// without a window: what it shows is recorded and what it asks is answered
// from a script.
#pragma once

#include <string>
#include <utility>

#include "app/ExchangeCommands.h"
#include "app/MainCommands.h"
#include "support/FakeMainView.h"
#include "support/ScriptedDialogs.h"

namespace lumaq::test {

struct HeadlessWindow {
  explicit HeadlessWindow(std::string programFolder = "/opt/lumaq")
      : commands(job, table, view, dialogs, std::move(programFolder)),
        exchange(commands, job, table, view, dialogs) {}

  JobDocument job;
  RecordTable table;
  FakeMainView view;
  ScriptedDialogs dialogs;
  MainCommands commands;
  ExchangeCommands exchange;
};

}  // namespace lumaq::test
