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
  LoopDispatcher loop;
  TComPort port{loop};
};

TEST_F(Unit3Test, ControlsAndCaptions) {
  TForm3 form(port, program.Folder());
  EXPECT_EQ(form.windowTitle(), QStringLiteral("通讯设置"));
  EXPECT_TRUE(form.windowFlags() & Qt::WindowSystemMenuHint);
  EXPECT_FALSE(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                                     Qt::WindowContextHelpButtonHint));
  EXPECT_EQ(form.GroupBox1->title(), QStringLiteral("设  置"));
  EXPECT_EQ(form.Label1->text(), QStringLiteral("串  口"));
  EXPECT_EQ(form.Label2->text(), QStringLiteral("波特率"));
  EXPECT_EQ(form.Button1->text(), QStringLiteral("确 定"));
  EXPECT_FALSE(form.ComboBox1->isEditable());
  EXPECT_FALSE(form.ComboBox2->isEditable());
  QStringList rates;
  for (int i = 0; i < form.ComboBox2->count(); ++i) rates << form.ComboBox2->itemText(i);
  EXPECT_EQ(rates, (QStringList{"600", "1200", "2400", "4800", "9600", "19200"}));
}

TEST_F(Unit3Test, FirstRunShowsTheDesignedPortAndOkWritesTheFile) {
  TForm3 form(port, program.Folder());
  EXPECT_EQ(form.ComboBox2->currentText(), QStringLiteral("1200"));
  // COM1 is selected when this machine has it; nothing is selected otherwise.
  EXPECT_EQ(form.ComboBox1->currentIndex(), form.ComboBox1->findData(QStringLiteral("COM1")));
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
    TForm3 form(port, program.Folder());
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
  TForm3 again(next, program.Folder());
  EXPECT_EQ(again.ComboBox1->currentData().toString(), QStringLiteral("COM12"));
  EXPECT_EQ(again.ComboBox2->currentText(), QStringLiteral("19200"));
  EXPECT_EQ(next.BaudRate(), br19200);
}

TEST_F(Unit3Test, CloseBoxStoresNothingButTheChoiceStaysOnThePort) {
  TForm3 form(port, program.Folder());
  form.ComboBox2->setCurrentIndex(0);
  form.reject();
  EXPECT_EQ(port.BaudRate(), br600);
  EXPECT_FALSE(std::filesystem::exists(Settings()));
}

TEST_F(Unit3Test, StoredPortWithoutDeviceIsKeptUnselected) {
  program.Write("Commpara", PortMap({1, 3}) + "[ComPort1]\r\nPort=COM2\r\n");
  TForm3 form(port, program.Folder());
  EXPECT_EQ(form.ComboBox1->currentIndex(), -1);
  EXPECT_EQ(port.Port(), "COM2");
  EXPECT_EQ(port.BaudRate(), br1200) << "the other settings stay as designed";
  form.ComboBox2->setCurrentIndex(2);
  EXPECT_EQ(port.Port(), "COM2") << "no port selected: the stored one stays";
  form.ComboBox1->setCurrentIndex(1);
  EXPECT_EQ(port.Port(), "COM3");
}

TEST_F(Unit3Test, StoredRateOutsideTheListShowsNineSixHundredAndStaysOnThePort) {
  program.Write("Commpara", "[ComPort1]\r\nBaudRate=14400\r\n");
  TForm3 form(port, program.Folder());
  EXPECT_EQ(form.ComboBox2->currentIndex(), kBaudListFallback);
  EXPECT_EQ(form.ComboBox2->currentText(), QStringLiteral("9600"));
  EXPECT_EQ(port.BaudRate(), br14400);
  form.ComboBox2->setCurrentIndex(3);
  EXPECT_EQ(port.BaudRate(), br4800);
}

TEST_F(Unit3Test, AFolderNamedCommparaIsNoSettingsFileAndCannotBeWritten) {
  std::filesystem::create_directory(Settings());
  test::MessageBoxWatcher watcher;
  TForm3 form(port, program.Folder());
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
  TForm3 form(port, program.Folder());
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
    TForm3 form(port, installed);
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
  TForm3 again(next, installed);
  EXPECT_EQ(again.ComboBox2->currentText(), QStringLiteral("19200"));
  EXPECT_EQ(next.BaudRate(), br19200);
}

}  // namespace
}  // namespace lumaq::ui
