#include "app/ui/Zivoru_main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFrame>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QVBoxLayout>
#include <exception>
#include <utility>

#include "app/CrsCommand.h"
#include "app/ui/AboutBox.h"
#include "app/ui/CrsDialog.h"
#include "app/ui/MenuShortcuts.h"
#include "app/ui/ToolbarRow.h"
#include "comm/ui/Trans.h"
#include "comm/ui/Unit3.h"
#include "formats/ui/Unit4.h"
#include "ui/AnsiText.h"
#include "ui/ErrorBox.h"
#include "ui/Fonts.h"
#include "ui/WindowPlacement.h"

static void InitGlyphs() {
  Q_INIT_RESOURCE(glyphs);
}

namespace lumaq::ui {
namespace {

// The window's designed client size; a smaller screen gets a smaller window.
constexpr QSize kDesignedSize(559, 735);

QString Utf8(const char* text) {
  return QString::fromUtf8(text);
}

// The program's icon: the installed theme's, else the one built in.
QIcon ProgramIcon() {
  QIcon builtIn;
  for (const int size : {48, 128, 256}) builtIn.addFile(QString(":/icons/lumaq-%1.png").arg(size));
  return QIcon::fromTheme("lumaq", builtIn);
}

QIcon Glyph(const char* name) {
  QIcon icon;
  icon.addPixmap(QPixmap(QString(":/glyphs/%1_normal.xpm").arg(name)), QIcon::Normal);
  icon.addPixmap(QPixmap(QString(":/glyphs/%1_disabled.xpm").arg(name)), QIcon::Disabled);
  return icon;
}

}  // namespace

TForm1::TForm1(UserDialogs* dialogs, std::string programFolder)
    : qtDialogs_(this),
      commands_(job_, table_, *this, dialogs != nullptr ? *dialogs : qtDialogs_,
                programFolder.empty() ? QCoreApplication::applicationDirPath().toStdString()
                                      : std::move(programFolder)),
      exchange_(commands_, job_, table_, *this, dialogs != nullptr ? *dialogs : qtDialogs_,
                [](std::string_view bytes) { return FromAnsi(bytes).toStdString(); }) {
  InitGlyphs();
  commands_.SetDisplayText([](std::string_view bytes) { return FromAnsi(bytes).toStdString(); });
  // Every window of the program shows it, dialogs included.
  QApplication::setWindowIcon(ProgramIcon());
  setObjectName("Form1");
  setFont(SerifCjkFont(18));
  resize(kDesignedSize);

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  StringGrid1 = new RecordGrid(table_, commands_, central);
  StringGrid1->setObjectName("StringGrid1");
  RichEdit1 = new MeasurementTextView(central);
  RichEdit1->setObjectName("RichEdit1");
  RichEdit1->setFont(NamedFont("Times New Roman", 14));
  RichEdit1->hide();
  layout->addWidget(StringGrid1, 1);
  layout->addWidget(RichEdit1, 1);
  setCentralWidget(central);

  CreateMenus();
  CreateToolbar();
  CreateStatusBar();
  CreatePlanView(layout);
  undoKeys_ = new UndoKeys(
      this, [this] { commands_.Undo(); }, [this] { commands_.Redo(); },
      [this] { return commands_.CanUndo(); }, [this] { return commands_.CanRedo(); });
  UndoAction = undoKeys_->UndoAction();
  RedoAction = undoKeys_->RedoAction();
  undoKeys_->AddTo(MenuRecord);

  auto* shortcuts =
      new MenuShortcuts({MenuJobNew, MenuJobOpen, MenuJobSave, MenuJobPrint, MenuJobExit,
                         MenuSortRec, MenuDelRec, MenuClearRec, MenuReceive, Menu_Send},
                        this);
  shortcuts->Watch(Edit1);
  if (QWidget* editor = StringGrid1->Editor()) shortcuts->Watch(editor);
  connect(StringGrid1, &RecordGrid::EditorOpened, shortcuts, &MenuShortcuts::Watch);

  connect(&idleTimer_, &QTimer::timeout, this, [this] {
    commands_.ApplicationIdle();
    undoKeys_->Refresh();
  });
}

// The grid shows the table that this window owns: it goes first.
TForm1::~TForm1() {
  idleTimer_.stop();
  delete takeCentralWidget();
}

void TForm1::CreateMenus() {
  const auto item = [this](QMenu* menu, QAction*& action, const char* name, const char* caption,
                           const QKeySequence& shortcut, auto handler) {
    action = menu->addAction(Utf8(caption));
    action->setObjectName(name);
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, handler);
  };
  const auto menu = [this](QMenu*& target, const char* name, const char* caption) {
    target = menuBar()->addMenu(Utf8(caption));
    target->setObjectName(name);
  };
  auto& c = commands_;
  menu(JOB, "JOB", "文  件");
  item(JOB, MenuJobNew, "MenuJobNew", "新    建 ", QKeySequence("Ctrl+N"),
       [&c] { c.MenuJobNewClick(); });
  item(JOB, MenuJobOpen, "MenuJobOpen", "打    开", QKeySequence("Ctrl+O"),
       [&c] { c.MenuJobOpenClick(); });
  item(JOB, MenuJobSave, "MenuJobSave", "保    存", QKeySequence("Ctrl+S"),
       [&c] { c.MenuJobSaveClick(); });
  item(JOB, MenuJobSaveAs, "MenuJobSaveAs", "另 存 为", QKeySequence(),
       [&c] { c.MenuJobSaveAsClick(); });
  JOB->addSeparator();
  item(JOB, MenuJobPrint, "MenuJobPrint", "打    印", QKeySequence("Ctrl+P"),
       [&c] { c.MenuJobPrintClick(); });
  JOB->addSeparator();
  item(JOB, MenuJobImport, "MenuJobImport", "导    入", QKeySequence(),
       [this] { exchange_.MenuJobImportClick(); });
  item(JOB, MenuJobExport, "MenuJobExport", "导    出", QKeySequence(),
       [this] { exchange_.MenuJobExportClick(); });
  JOB->addSeparator();
  item(JOB, MenuJobExit, "MenuJobExit", "退    出", QKeySequence("Ctrl+X"), [this] { close(); });

  menu(MenuRecord, "MenuRecord", "记  录");
  item(MenuRecord, MenuSortRec, "MenuSortRec", "整   理", QKeySequence("Ctrl+U"),
       [&c] { c.Button_SortClick(); });
  item(MenuRecord, MenuDelRec, "MenuDelRec", "删   除", QKeySequence("Ctrl+E"),
       [&c] { c.Button_DelClick(); });
  item(MenuRecord, MenuClearRec, "MenuClearRec", "清   空", QKeySequence("Ctrl+L"),
       [&c] { c.Button_ClearClick(); });

  menu(COMM, "COMM", "通  讯");
  item(COMM, MenuReceive, "MenuReceive", "接 收 ", QKeySequence("F9"),
       [this] { MenuReceiveClick(); });
  item(COMM, Menu_Send, "Menu_Send", "发 送 ", QKeySequence("F10"), [this] { Menu_SendClick(); });
  item(COMM, MenuCommSettings, "MenuCommSettings", "通讯设置", QKeySequence(),
       [this] { TForm3::ShowOnItsOwn(commands_.ProgramFolder(), this); });

  menu(MenuTools, "MenuTools", "工  具");
  item(MenuTools, MenuDefDataForm, "MenuDefDataForm", "自定义导出数据格式", QKeySequence(),
       [this] { MenuDefDataFormClick(); });
  item(MenuTools, MenuCrs, "MenuCrs", kCrsTitle, QKeySequence(), [this] { MenuCrsClick(); });

  menu(HELP, "HELP", "帮  助");
  item(HELP, HelpAbout, "HelpAbout", "关    于", QKeySequence(), [this] { HelpAboutClick(); });
}

QToolButton* TForm1::AddButton(const char* name, const char* glyph, const char* shortHint,
                               const char* longHint) {
  auto* button = new QToolButton;
  button->setObjectName(name);
  button->setAutoRaise(true);
  button->setIcon(Glyph(glyph));
  button->setIconSize(QSize(20, 20));
  button->setFixedSize(28, 28);
  button->setToolTip(Utf8(shortHint));
  button->setStatusTip(Utf8(longHint));
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

// The toolbar panel, 40 pixels high, with its controls where the design puts
// them. A window too narrow for all of them shows the overflow button of the
// toolbar, which holds the rest.
void TForm1::CreateToolbar() {
  auto* bar = new QToolBar(this);
  bar->setObjectName("Panel1");
  bar->setMovable(false);
  bar->setFloatable(false);
  bar->setMinimumHeight(40);
  bar->setContextMenuPolicy(Qt::PreventContextMenu);  // no way to hide it
  bar->layout()->setSpacing(4);
  addToolBar(Qt::TopToolBarArea, bar);

  Button_New = AddButton("Button_New", "new", "新建", "新建工作文件");
  Button_Save = AddButton("Button_Save", "save", "保存", "工作文件存盘");
  Button_Open = AddButton("Button_Open", "open", "打开", "打开一个工作文件");
  Button_Print = AddButton("Button_Print", "print", "打印", "打印工作文件");
  Button_Sort = AddButton("Button_Sort", "sort", "整理", "整理刷新点号记录");
  Button_Del = AddButton("Button_Del", "del", "删除", "删除一条点号记录");
  Button_Clear = AddButton("Button_Clear", "clear", "清空", "清空所有点号记录");
  Edit1 = new QLineEdit;
  Edit1->setObjectName("Edit1");
  Edit1->setFixedSize(120, 24);
  Edit1->setToolTip(Utf8("键入点号名搜索"));
  Edit1->setStatusTip(Utf8("键入点号名搜索"));
  Button_Find = AddButton("Button_Find", "find", "查找", "根据点号名查找点号");
  Button_Import = AddButton("Button_Import", "import", "接收", "从全站仪输入文件");
  Button_Export = AddButton("Button_Export", "export", "发送", "向全站仪输出文件");
  Button_Plan = AddButton("Button_Plan", "plan", "平面图", "平面图与表格之间切换 (F6)");

  ToolbarRow row(bar);
  row.Add(Button_New, 10);
  row.Add(Button_Save, 42);
  row.Add(Button_Open, 74);
  row.Add(Button_Print, 106);
  row.Add(Button_Sort, 158, 145);
  row.Add(Button_Del, 190);
  row.Add(Button_Clear, 222);
  row.Add(Edit1, 278, 263);
  row.Add(Button_Find, 408);
  row.Add(Button_Import, 466, 452);
  row.Add(Button_Export, 508);
  row.Add(Button_Plan, 550, 543);

  // A button runs the same handler as its menu item.
  const std::pair<QToolButton*, QAction*> pairs[] = {
      {Button_New, MenuJobNew},     {Button_Save, MenuJobSave},   {Button_Open, MenuJobOpen},
      {Button_Print, MenuJobPrint}, {Button_Sort, MenuSortRec},   {Button_Del, MenuDelRec},
      {Button_Clear, MenuClearRec}, {Button_Import, MenuReceive}, {Button_Export, Menu_Send}};
  for (const auto& [button, action] : pairs) {
    connect(button, &QToolButton::clicked, action, &QAction::trigger);
  }
  const auto find = [this] { commands_.Button_FindClick(ToAnsi(Edit1->text())); };
  connect(Button_Find, &QToolButton::clicked, this, find);
  connect(Edit1, &QLineEdit::returnPressed, this, find);
}

void TForm1::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName("StatusBar1");
  bar->setSizeGripEnabled(false);
  bar->setFixedHeight(25);
  const int widths[] = {340, 105, 120};
  for (std::size_t i = 0; i < StatusPanels.size(); ++i) {
    StatusPanels[i] = new QLabel(bar);
    StatusPanels[i]->setFixedWidth(widths[i]);
    StatusPanels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addWidget(StatusPanels[i]);
  }
  SimplePanel = new QLabel(bar);
  SimplePanel->hide();
  bar->addWidget(SimplePanel, 1);
}

// The plan: its widget beside the grid, its items at the foot of the Records
// menu (which a measurement job disables with them), its toolbar button and
// its status panel, which takes the place of the count and row panels.
void TForm1::CreatePlanView(QBoxLayout* layout) {
  PlanView1 = new PlanWidget(table_, centralWidget());
  PlanView1->hide();
  PlanView1->Watch(StringGrid1->Model());
  PlanView1->FitAllAction()->setIcon(Glyph("fit"));
  PlanView1->CodesAction()->setIcon(Glyph("codes"));
  layout->addWidget(PlanView1, 1);

  MenuRecord->addSeparator();
  MenuPlan = MenuRecord->addAction(Utf8("平 面 图"));
  MenuPlan->setObjectName("MenuPlan");
  MenuPlan->setShortcut(QKeySequence("F6"));
  MenuPlan->setCheckable(true);
  MenuPlanExport = MenuRecord->addAction(Utf8("导出平面图"));
  MenuPlanExport->setObjectName("MenuPlanExport");
  PlanView1->addAction(MenuPlanExport);
  connect(MenuPlan, &QAction::triggered, this, [this] { commands_.MenuPlanClick(); });
  connect(Button_Plan, &QToolButton::clicked, MenuPlan, &QAction::trigger);
  Button_Plan->setCheckable(true);
  connect(MenuPlanExport, &QAction::triggered, this,
          [this] { commands_.MenuPlanExportClick(planPictures_); });
  connect(PlanView1->CodesAction(), &QAction::toggled, this,
          [this](bool shown) { commands_.SetPlanCodesShown(shown); });
  connect(PlanView1, &PlanWidget::PointClicked, this,
          [this](int row) { commands_.SelectRecordRow(row); });
  connect(PlanView1, &PlanWidget::CursorMoved, PanelLabel(StatusPanel::kHint), &QLabel::setText);

  PlanPanel = new QLabel(statusBar());
  PlanPanel->setObjectName("PlanPanel");
  PlanPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  PlanPanel->hide();
  statusBar()->addWidget(PlanPanel, 1);
  connect(PlanView1, &PlanWidget::SummaryChanged, PlanPanel,
          [this](const QString& summary, const QString& outliers) {
            PlanPanel->setText(summary);
            PlanPanel->setToolTip(outliers.isEmpty() ? QString() : Utf8("离群点:") + outliers);
          });
}

void TForm1::FormCreate(const std::vector<std::string>& arguments, bool showSplash) {
  if (showSplash) {
    TAboutBox splash(true);
    CentreOnScreen(&splash);
    splash.exec();
  }
  idleTimer_.start(MainCommands::kIdleInterval);
  FitOnScreen(this, kDesignedSize);
  commands_.StartUp(arguments);
}

void TForm1::SetCaption(const std::string& caption) {
  setWindowTitle(FromUtf8(caption));
}

void TForm1::ShowCoordinateView() {
  coordinateView_ = true;
  RichEdit1->hide();
  for (QWidget* w : std::initializer_list<QWidget*>{Edit1, Button_Sort, Button_Del, Button_Clear,
                                                    Button_Find, Button_Export, Button_Plan}) {
    w->setEnabled(true);
  }
  for (QAction* a : {MenuJobImport, Menu_Send, MenuJobExport, MenuPlan, MenuPlanExport}) {
    a->setEnabled(true);
  }
  MenuRecord->setEnabled(true);
  undoKeys_->SetEnabled(true);
  SimplePanel->hide();
  ShowTableOrPlan();
}

void TForm1::ShowPlan(bool shown) {
  planView_ = shown;
  MenuPlan->setChecked(shown);
  Button_Plan->setChecked(shown);
  if (coordinateView_) ShowTableOrPlan();
}

void TForm1::ShowTableOrPlan() {
  // The hint panel leaves the plan's summary room for the outliers' names;
  // the count and the row are the table's.
  PanelLabel(StatusPanel::kHint)->setFixedWidth(planView_ ? 240 : 340);
  PanelLabel(StatusPanel::kHint)->show();
  PanelLabel(StatusPanel::kCount)->setVisible(!planView_);
  PanelLabel(StatusPanel::kRow)->setVisible(!planView_);
  PlanPanel->setVisible(planView_);
  QWidget* const shown = planView_ ? static_cast<QWidget*>(PlanView1) : StringGrid1;
  QWidget* const hidden = planView_ ? static_cast<QWidget*>(StringGrid1) : PlanView1;
  shown->show();
  // A view hidden with the focus passes it on as a Tab would, and a Tab in
  // the grid is a key typed into the table: the focus moves over first.
  if (hidden->isAncestorOf(QApplication::focusWidget()) || hidden->hasFocus()) {
    if (planView_) {
      PlanView1->setFocus();
    } else {
      StringGrid1->FocusEditor();
    }
  }
  hidden->hide();
}

void TForm1::ShowMeasurementView(bool exportEnabled) {
  coordinateView_ = false;
  StringGrid1->hide();
  PlanView1->hide();
  PlanPanel->hide();
  MenuRecord->setEnabled(false);
  undoKeys_->SetEnabled(false);
  for (QWidget* w : std::initializer_list<QWidget*>{Edit1, Button_Sort, Button_Del, Button_Clear,
                                                    Button_Find, Button_Export, Button_Plan}) {
    w->setEnabled(false);
  }
  for (QAction* a : {MenuJobImport, Menu_Send, MenuPlan, MenuPlanExport}) a->setEnabled(false);
  MenuJobExport->setEnabled(exportEnabled);
  for (QLabel* panel : StatusPanels) panel->hide();
  SimplePanel->show();
  RichEdit1->show();
}

void TForm1::SetStatusText(StatusPanel panel, const std::string& text) {
  PanelLabel(panel)->setText(FromUtf8(text));
}

void TForm1::RefreshTable() {
  StringGrid1->SyncFromTable();
  if (planView_) PlanView1->update();
  // A command changed the table: 撤销 and 重做 follow at once, not at idle.
  if (undoKeys_ != nullptr) undoKeys_->Refresh();
}

void TForm1::SetTableReadOnly(bool readOnly) {
  StringGrid1->SetReadOnly(readOnly);
}

void TForm1::ShowJobText(const JobText& text) {
  RichEdit1->SetLines(text);
}

// Find in the plan view: the point found comes into sight.
void TForm1::FocusTable() {
  if (coordinateView_ && planView_) {
    PlanView1->setFocus();
    PlanView1->FollowCurrentRow();
    return;
  }
  StringGrid1->FocusEditor();
}

// Long fills and tidies call this every 100 rows. Repainting the grid that
// often costs more than the fill itself, so the window catches up at most
// every 40 ms: it still scrolls along and answers input.
void TForm1::ProcessMessages() {
  if (messagesProcessed_.isValid() && messagesProcessed_.elapsed() < 40) return;
  StringGrid1->SyncFromTable();
  QCoreApplication::processEvents();
  messagesProcessed_.start();
}

void TForm1::ShowHint(const QString& hint) {
  if (coordinateView_) {
    PanelLabel(StatusPanel::kHint)->setText(hint);
  } else {
    SimplePanel->setText(hint);
  }
}

bool TForm1::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip) {
    ShowHint(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  return QMainWindow::event(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
  // A save that fails at the prompt is reported here, and the window stays
  // open with the job unsaved.
  event->ignore();
  try {
    if (commands_.CanClose()) event->accept();
  } catch (const std::exception& error) {
    ShowErrorBox(error, this);
  }
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  StringGrid1->SetExtraWidth(width() - kDesignedSize.width());
}

void TForm1::MenuReceiveClick() {
  if (!commands_.PrepareReceive()) return;
  commands_.FinishReceive(RunTransferDialog());
}

void TForm1::Menu_SendClick() {
  if (!commands_.PrepareSend()) return;
  commands_.FinishSend(RunTransferDialog());
}

TransferEnd TForm1::RunTransferDialog() {
  TForm2 form(job_, commands_.TransferDirection(), commands_.ProgramFolder(), this);
  QTimer arriving;
  // Every frame the receive accepts goes to the journal before its 0x00.
  if (commands_.TransferDirection() == TransferDirection::kReceive) {
    form.Session().SetAcceptedFrameSink(commands_.ReceiveJournalSink());
    // A steady pace, not every frame: a repaint per frame would slow the
    // receive of thousands of frames.
    connect(&arriving, &QTimer::timeout, this,
            [this, &form] { commands_.ShowArrivingLines(form.Session().CoordinateData()); });
    if (arrivingLinesShown_) arriving.start(MainCommands::kArrivingLinesPace);
  } else {
    form.SetRowOfLine([this](int line) { return commands_.SentRecordRow(line); });
  }
  form.exec();
  return {form.Session().Outcome(), form.Session().TransferCount()};
}

void TForm1::MenuDefDataFormClick() {
  TForm4 form(commands_.ProgramFolder(), this);
  form.exec();
}

void TForm1::MenuCrsClick() {
  QtCrsDialog dialog(this);
  CrsCommand(commands_.ProgramFolder(), qtDialogs_, dialog).MenuCrsClick();
}

void TForm1::HelpAboutClick() {
  TAboutBox about(false, this);
  about.exec();
}

}  // namespace lumaq::ui
