// TForm1: the main window. It owns the open job and the record table, shows
// them, and hands every command to MainCommands.
#pragma once

#include <QAction>
#include <QBoxLayout>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <string>
#include <vector>

#include "app/ExchangeCommands.h"
#include "app/MainCommands.h"
#include "app/ui/MeasurementTextView.h"
#include "app/ui/PlanWidget.h"
#include "app/ui/QtPlanPictures.h"
#include "app/ui/QtUserDialogs.h"
#include "app/ui/RecordGrid.h"
#include "app/ui/UndoKeys.h"

namespace lumaq::ui {

class TForm1 : public QMainWindow, public MainView {
  Q_OBJECT

 public:
  // dialogs: where the window's questions go; by default the real boxes.
  // programFolder: where the settings file "Commpara" is kept and the file
  // dialogs start; by default the folder of the program file.
  explicit TForm1(UserDialogs* dialogs = nullptr, std::string programFolder = {});
  ~TForm1() override;

  // Start-up: the splash (unless disabled), the idle handler, the job Job1
  // and the file the arguments name (as typed, see MainCommands::StartUp).
  void FormCreate(const std::vector<std::string>& arguments, bool showSplash = true);

  // MainView
  void SetCaption(const std::string& caption) override;
  void ShowCoordinateView() override;
  void ShowMeasurementView(bool exportEnabled) override;
  void ShowPlan(bool shown) override;
  void SetStatusText(StatusPanel panel, const std::string& text) override;
  void RefreshTable() override;
  void ShowJobText(const JobText& text) override;
  void FocusTable() override;
  void SetTableReadOnly(bool readOnly) override;
  void ProcessMessages() override;

  JobDocument& Job() { return job_; }
  RecordTable& Table() { return table_; }
  MainCommands& Commands() { return commands_; }
  // Whether a receive shows its lines as they arrive (the default) or only at
  // its end; the benchmark compares the two.
  void SetArrivingLinesShown(bool shown) { arrivingLinesShown_ = shown; }

  // Widgets by their form names, for the window's own wiring and its tests.
  RecordGrid* StringGrid1 = nullptr;
  MeasurementTextView* RichEdit1 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QToolButton *Button_New = nullptr, *Button_Save = nullptr, *Button_Open = nullptr,
              *Button_Print = nullptr, *Button_Sort = nullptr, *Button_Del = nullptr,
              *Button_Clear = nullptr, *Button_Find = nullptr, *Button_Import = nullptr,
              *Button_Export = nullptr;
  QMenu *JOB = nullptr, *MenuRecord = nullptr, *COMM = nullptr, *MenuTools = nullptr,
        *HELP = nullptr;
  QAction *MenuJobNew = nullptr, *MenuJobOpen = nullptr, *MenuJobSave = nullptr,
          *MenuJobSaveAs = nullptr, *MenuJobPrint = nullptr, *MenuJobImport = nullptr,
          *MenuJobExport = nullptr, *MenuJobExit = nullptr, *MenuSortRec = nullptr,
          *MenuDelRec = nullptr, *MenuClearRec = nullptr, *MenuReceive = nullptr,
          *Menu_Send = nullptr, *MenuDefDataForm = nullptr, *HelpAbout = nullptr;
  QAction* MenuCrs = nullptr;
  // 通讯设置: the settings dialog on its own.
  QAction* MenuCommSettings = nullptr;
  // Ctrl+Z and Ctrl+Y (Ctrl+Shift+Z) of the table, the items 撤销 and 重做 of
  // the records menu.
  QAction *UndoAction = nullptr, *RedoAction = nullptr;
  std::array<QLabel*, 3> StatusPanels{};
  QLabel* PanelLabel(StatusPanel panel) const {
    return StatusPanels[static_cast<std::size_t>(panel)];
  }
  QLabel* SimplePanel = nullptr;
  // The plan view (F6) with its menu items, button and status panel.
  PlanWidget* PlanView1 = nullptr;
  QAction *MenuPlan = nullptr, *MenuPlanExport = nullptr;
  QToolButton* Button_Plan = nullptr;
  QLabel* PlanPanel = nullptr;

 protected:
  bool event(QEvent* event) override;              // hints of the control under the mouse
  void closeEvent(QCloseEvent* event) override;    // FormClose
  void resizeEvent(QResizeEvent* event) override;  // the columns share a wider window

 private:
  void CreateMenus();
  void CreateToolbar();
  void CreateStatusBar();
  QToolButton* AddButton(const char* name, const char* glyph, const char* shortHint,
                         const char* longHint);
  void ShowHint(const QString& hint);
  void CreatePlanView(QBoxLayout* layout);
  // The coordinate view shows the table or the plan, each with its panels.
  void ShowTableOrPlan();

  void MenuReceiveClick();
  void Menu_SendClick();
  // The transfer dialog TForm2, shown modally and destroyed (closing its port);
  // during a receive the arriving lines are shown at kArrivingLinesPace.
  TransferEnd RunTransferDialog();
  void HelpAboutClick();
  void MenuDefDataFormClick();
  // 工具 > 坐标系: the job's coordinate reference system (app/CrsCommand.h).
  void MenuCrsClick();

  JobDocument job_;
  RecordTable table_;
  QtUserDialogs qtDialogs_;
  MainCommands commands_;
  ExchangeCommands exchange_;
  UndoKeys* undoKeys_ = nullptr;
  QTimer idleTimer_;
  QElapsedTimer messagesProcessed_;
  bool coordinateView_ = true;
  bool planView_ = false;
  bool arrivingLinesShown_ = true;
  QtPlanPictures planPictures_;
};

}  // namespace lumaq::ui
