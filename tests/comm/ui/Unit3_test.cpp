#include "comm/ui/Unit3.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <initializer_list>
#include <string>

#include "comm/ComPort.h"
#include "records/JobFiles.h"
#include "support/FakeDeviceDatabase.h"
#include "support/MessageBoxWatcher.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"

namespace lumaq::ui {
namespace {

using test::TempDir;

const char* const kDesignedText =
    "[ComPort1]\r\nPort=COM1\r\nBaudRate=1200\r\nStopBits=1\r\nDataBits=8\r\n"
    "Parity=None\r\nFlowControl=None\r\n";

class Unit3Test : public ::testing::Test {
 protected:
  Unit3Test() { ApplyComPort1Design(port); }

  // A [PortMap] that leads every port into the devices folder, where only the
  // given ports have a device.
  std::string PortMap(std::initializer_list<int> present) {
    std::string text = "[PortMap]\r\n";
    for (int number = 1; number <= 16; ++number) {
      text += "COM" + std::to_string(number) + "=" + devices.Path("tty" + std::to_string(number)) +
              "\r\n";
    }
    for (int number : present) devices.Write("tty" + std::to_string(number), "");
    return text;
  }
  std::string Settings() const { return program.Path("Commpara"); }
  std::string Device(int number) const { return devices.Path("tty" + std::to_string(number)); }

  TempDir program;
  TempDir devices;
  // This machine's own devices stay out of the lists.
  test::FakeDeviceDatabase database;
  LoopDispatcher loop;
  TComPort port{loop};
};

TEST_F(Unit3Test, ControlsAndCaptions) {
  TForm3 form(port, program.Folder(), nullptr, &database);
  EXPECT_EQ(form.windowTitle(), QStringLiteral("通讯设置"));
  EXPECT_TRUE(form.windowFlags() & Qt::WindowSystemMenuHint);
  EXPECT_FALSE(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                                     Qt::WindowContextHelpButtonHint));
  EXPECT_EQ(form.GroupBox1->title(), QStringLiteral("设  置"));
  EXPECT_EQ(form.Label1->text(), QStringLiteral("串  口"));
  EXPECT_EQ(form.Label2->text(), QStringLiteral("波特率"));
  EXPECT_EQ(form.Button1->text(), QStringLiteral("确 定"));
  EXPECT_EQ(form.Button2->text(), QStringLiteral("取消"));
  EXPECT_FALSE(form.ComboBox1->isEditable());
  EXPECT_FALSE(form.ComboBox2->isEditable());
  QStringList rates;
  for (int i = 0; i < form.ComboBox2->count(); ++i) rates << form.ComboBox2->itemText(i);
  EXPECT_EQ(rates, (QStringList{"600", "1200", "2400", "4800", "9600", "19200"}));
}

TEST_F(Unit3Test, FirstRunShowsTheDesignedPortAndOkWritesTheFile) {
  TForm3 form(port, program.Folder(), nullptr, &database);
  EXPECT_EQ(form.ComboBox2->currentText(), QStringLiteral("1200"));
  // COM1, whose device this machine does not have, is shown so.
  ASSERT_EQ(form.ComboBox1->count(), 1);
  EXPECT_EQ(form.ComboBox1->currentText(), QStringLiteral("COM1  未连接 (/dev/ttyS0)"));
  EXPECT_EQ(port.BaudRate(), br1200) << "showing the lists changes nothing";

  QSignalSpy accepted(&form, &QDialog::accepted);
  QTest::mouseClick(form.Button1, Qt::LeftButton);
  EXPECT_EQ(accepted.count(), 1);
  EXPECT_EQ(ReadFileBytes(Settings()), kDesignedText);
}

TEST_F(Unit3Test, PortsShowTheirDeviceAndTheStoredChoiceComesBack) {
  const std::string map = PortMap({1, 3, 12});
  program.Write("Commpara", map);
  {
    TForm3 form(port, program.Folder(), nullptr, &database);
    ASSERT_EQ(form.ComboBox1->count(), 3);
    EXPECT_EQ(form.ComboBox1->itemData(1).toString(), QStringLiteral("COM3"));
    EXPECT_EQ(form.ComboBox1->itemText(1),
              QStringLiteral("COM3  (%1)").arg(QString::fromStdString(Device(3))));
    EXPECT_EQ(form.ComboBox1->currentData().toString(), QStringLiteral("COM1"));

    form.ComboBox1->setCurrentIndex(2);
    form.ComboBox2->setCurrentIndex(5);
    EXPECT_EQ(port.Port(), "COM12") << "a choice applies to the port at once";
    EXPECT_EQ(port.BaudRate(), br19200);
    EXPECT_EQ(port.ResolvedDevicePath(), Device(12));
    form.Button1Click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
  }
  EXPECT_EQ(ReadFileBytes(Settings()),
            map +
                "\r\n[ComPort1]\r\nPort=COM12\r\nBaudRate=19200\r\nStopBits=1\r\nDataBits=8\r\n"
                "Parity=None\r\nFlowControl=None\r\n");

  LoopDispatcher nextLoop;
  TComPort next(nextLoop);
  ApplyComPort1Design(next);
  TForm3 again(next, program.Folder(), nullptr, &database);
  EXPECT_EQ(again.ComboBox1->currentData().toString(), QStringLiteral("COM12"));
  EXPECT_EQ(again.ComboBox2->currentText(), QStringLiteral("19200"));
  EXPECT_EQ(next.BaudRate(), br19200);
}

TEST_F(Unit3Test, CloseBoxStoresNothingButTheChoiceStaysOnThePort) {
  TForm3 form(port, program.Folder(), nullptr, &database);
  form.ComboBox2->setCurrentIndex(0);
  form.reject();
  EXPECT_EQ(port.BaudRate(), br600);
  EXPECT_FALSE(std::filesystem::exists(Settings()));
}

TEST_F(Unit3Test, StoredPortWithoutDeviceIsShownAbsent) {
  program.Write("Commpara", PortMap({1, 3}) + "[ComPort1]\r\nPort=COM2\r\n");
  TForm3 form(port, program.Folder(), nullptr, &database);
  EXPECT_EQ(form.ComboBox1->currentText(),
            QStringLiteral("COM2  未连接 (%1)").arg(QString::fromStdString(Device(2))));
  EXPECT_EQ(port.Port(), "COM2");
  EXPECT_EQ(port.BaudRate(), br1200) << "the other settings stay as designed";
  form.ComboBox2->setCurrentIndex(2);
  EXPECT_EQ(port.Port(), "COM2") << "the stored port stays";
  form.ComboBox1->setCurrentIndex(form.ComboBox1->findData(QStringLiteral("COM3")));
  EXPECT_EQ(port.Port(), "COM3");
}

TEST_F(Unit3Test, StoredRateOutsideTheListShowsNineSixHundredAndStaysOnThePort) {
  program.Write("Commpara", "[ComPort1]\r\nBaudRate=14400\r\n");
  TForm3 form(port, program.Folder(), nullptr, &database);
  EXPECT_EQ(form.ComboBox2->currentIndex(), kBaudListFallback);
  EXPECT_EQ(form.ComboBox2->currentText(), QStringLiteral("9600"));
  EXPECT_EQ(port.BaudRate(), br14400);
  form.ComboBox2->setCurrentIndex(3);
  EXPECT_EQ(port.BaudRate(), br4800);
}

TEST_F(Unit3Test, AFolderNamedCommparaIsNoSettingsFileAndCannotBeWritten) {
  std::filesystem::create_directory(Settings());
  test::MessageBoxWatcher watcher;
  TForm3 form(port, program.Folder(), nullptr, &database);
  form.show();
  QCoreApplication::processEvents();
  EXPECT_TRUE(watcher.boxes.empty()) << "nothing to report: there is no settings file";
  EXPECT_EQ(form.ComboBox2->currentText(), QStringLiteral("1200"));
  EXPECT_EQ(port.BaudRate(), br1200);

  QSignalSpy accepted(&form, &QDialog::accepted);
  form.Button1Click();  // returns once the error box is closed
  EXPECT_EQ(accepted.count(), 0);
  ASSERT_EQ(watcher.boxes.size(), 1u);
  EXPECT_EQ(watcher.boxes[0].text, QStringLiteral("无法保存通讯设置。"));
  EXPECT_EQ(watcher.boxes[0].icon, QMessageBox::Critical);
  EXPECT_EQ(watcher.boxes[0].parent, &form);
}

TEST_F(Unit3Test, SettingsFileThatCannotBeReadIsReportedOnceShown) {
  std::filesystem::create_symlink("/proc/self/mem", Settings());
  test::MessageBoxWatcher watcher;
  TForm3 form(port, program.Folder(), nullptr, &database);
  EXPECT_EQ(port.BaudRate(), br1200);
  QCoreApplication::processEvents();
  EXPECT_TRUE(watcher.boxes.empty()) << "nothing is shown before the dialog";
  form.show();
  ASSERT_TRUE(watcher.WaitForBoxes(1));
  EXPECT_EQ(watcher.boxes[0].text, QStringLiteral("无法读取通讯设置。"));
  EXPECT_EQ(watcher.boxes[0].parent, &form);
  form.hide();
  form.show();
  QCoreApplication::processEvents();
  EXPECT_EQ(watcher.boxes.size(), 1u) << "the error is shown once";
}

TEST_F(Unit3Test, AnInstalledProgramKeepsThePortInTheUsersConfigurationFolder) {
  // A program folder that cannot be written (here: one that does not exist;
  // the settings location's own test has a read-only one).
  const std::string installed = program.Path("usr/bin");
  TempDir home;
  test::ScopedEnvironment variables;
  variables.Set("XDG_CONFIG_HOME", home.Path("config"));
  const std::string stored = home.Path("config/lumaq/Commpara");
  {
    TForm3 form(port, installed, nullptr, &database);
    EXPECT_EQ(form.ComboBox2->currentText(), QStringLiteral("1200")) << "nothing stored yet";
    form.ComboBox2->setCurrentIndex(5);
    form.Button1Click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
  }
  EXPECT_EQ(ReadFileBytes(stored),
            "[ComPort1]\r\nPort=COM1\r\nBaudRate=19200\r\nStopBits=1\r\nDataBits=8\r\n"
            "Parity=None\r\nFlowControl=None\r\n");
  EXPECT_EQ(std::filesystem::status(home.Path("config/lumaq")).permissions(),
            std::filesystem::perms::owner_all);
  EXPECT_FALSE(std::filesystem::exists(installed));

  LoopDispatcher nextLoop;
  TComPort next(nextLoop);
  ApplyComPort1Design(next);
  TForm3 again(next, installed, nullptr, &database);
  EXPECT_EQ(again.ComboBox2->currentText(), QStringLiteral("19200"));
  EXPECT_EQ(next.BaudRate(), br19200);
}

QStringList Items(const QComboBox* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
  return items;
}

TEST_F(Unit3Test, TheListShowsTheDevicesPresentAndFollowsThemInAndOut) {
  database.devices = {test::Uart("ttyS0", "4"), test::Ch340("ttyUSB0")};
  program.Write("Commpara", "[ComPort1]\r\nPort=COM5\r\n");
  TForm3 form(port, program.Folder(), nullptr, &database);
  const QString uart = QStringLiteral("COM1  串口，驱动 serial8250 (/dev/ttyS0)");
  const QString ch340 =
      QStringLiteral("COM5  QinHeng Electronics CH340 serial converter，驱动 ch341 (/dev/ttyUSB0)");
  EXPECT_EQ(Items(form.ComboBox1), (QStringList{uart, ch340}));
  EXPECT_EQ(form.ComboBox1->currentText(), ch340);

  database.devices.push_back(test::Ch340("ttyACM0"));
  form.RescanPorts();
  const QString acm = QStringLiteral(
      "COM13  QinHeng Electronics CH340 serial converter，驱动 ch341 (/dev/ttyACM0)");
  EXPECT_EQ(Items(form.ComboBox1), (QStringList{uart, ch340, acm}));

  database.devices.erase(database.devices.begin() + 1);  // the chosen adapter pulled out
  form.RescanPorts();
  const QString gone = QStringLiteral("COM5  未连接 (/dev/ttyUSB0)");
  EXPECT_EQ(Items(form.ComboBox1), (QStringList{uart, gone, acm}));
  EXPECT_EQ(form.ComboBox1->currentText(), gone);
  EXPECT_EQ(port.Port(), "COM5") << "a look at the devices changes nothing on the port";
}

// An adapter that neither [PortMap] nor the fixed rule places gets a free
// name, which only OK stores, with the adapter's stable name; the close box
// leaves it on the port for the transfer; 取消 ends the transfer.
TEST_F(Unit3Test, ANewAdapterIsStoredByItsStableNameOnlyWithOk) {
  const std::string byId = "/dev/serial/by-id/usb-Example_Field_Link_A9X2-if00-port0";
  const std::string designed =
      "Port=COM2\r\nBaudRate=1200\r\nStopBits=1\r\nDataBits=8\r\nParity=None\r\n"
      "FlowControl=None\r\n";
  struct Case {
    const char* label;
    void (*close)(TForm3&);
    std::string stored;  // the settings file afterwards; empty: none
    bool cancelled;
  } cases[] = {
      {"OK", [](TForm3& f) { f.Button1->click(); },
       "[PortMap]\r\nCOM2=" + byId + "\r\n\r\n[ComPort1]\r\n" + designed, false},
      {"the close box", [](TForm3& f) { f.reject(); }, "", false},
      {"取消", [](TForm3& f) { f.Button2->click(); }, "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    std::filesystem::remove(Settings());
    LoopDispatcher caseLoop;
    TComPort casePort(caseLoop);
    ApplyComPort1Design(casePort);
    database.devices = {test::UsbSerial("ttyUSB9", {{"ID_MODEL", "Field_Link"}}, {byId})};
    TForm3 form(casePort, program.Folder(), nullptr, &database);
    // COM1, the port as designed, is kept for its own device.
    const QString item = QStringLiteral("COM2  Field_Link，驱动 usb-serial (/dev/ttyUSB9)");
    ASSERT_EQ(Items(form.ComboBox1), (QStringList{"COM1  未连接 (/dev/ttyS0)", item}));
    form.ComboBox1->setCurrentIndex(1);
    EXPECT_EQ(casePort.ResolvedDevicePath(), byId);
    form.RescanPorts();
    EXPECT_EQ(form.ComboBox1->currentText(), item) << "the choice stays through a look";
    c.close(form);
    EXPECT_EQ(form.Cancelled(), c.cancelled);
    EXPECT_EQ(std::filesystem::exists(Settings()) ? ReadFileBytes(Settings()) : "", c.stored);
    EXPECT_EQ(casePort.ResolvedDevicePath(), byId) << "the transfer runs on it";
  }
}

}  // namespace
}  // namespace lumaq::ui
