// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// A port button's menu over a fake list of serial devices: what it lists and
// checks, and what choosing an entry writes, shows and leaves alone.

#include "app/port_menu.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <functional>

#include "serial/port_map.h"
#include "window_fixture.h"

namespace scanforms::testing {
namespace {

using serial::DeviceAccess;
using namespace std::string_literals;

const QString kAdapter =
    QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A12345-if00-port0");

QList<serial::SerialDevice> fakeDevices() {
    return {{.path = "/dev/ttyUSB0",
             .stableName = kAdapter,
             .description = "FT232R USB UART",
             .manufacturer = "FTDI",
             .serialNumber = "A12345",
             .access = {DeviceAccess::Allowed, "dialout"}},
            {.path = "/dev/ttyACM0",
             .stableName = "",
             .description = "Modem",
             .manufacturer = "",
             .serialNumber = "",
             .access = {DeviceAccess::NotAllowed, "dialout"}}};
}

// Each entry as "(x) text" when checked, with "off" when disabled.
QStringList entriesOf(const QMenu& menu) {
    QStringList shown;
    for (const QAction* entry : menu.actions()) {
        shown << (entry->isSeparator() ? QStringLiteral("--")
                                       : QStringLiteral("%1%2 %3").arg(
                                             entry->isChecked() ? "(x)" : "( )",
                                             entry->isEnabled() ? "" : " off", entry->text()));
    }
    return shown;
}

class PortMenu : public WindowTest {
protected:
    QTemporaryDir config;

    void SetUp() override {
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        qunsetenv("SCANFORMS_COM1");
        open("2\r\n");
        new app::PortMenus(*window, fakeDevices);  // the window owns it
        log.clear();
    }
    void TearDown() override {
        qunsetenv("SCANFORMS_COM1");
        qunsetenv("XDG_CONFIG_HOME");
    }

    // Com1's menu, asked for as `ask` does.
    QMenu& menuOfComOne(const std::function<void(QWidget&)>& ask = [](QWidget& button) {
        QTest::keyClick(&button, Qt::Key_Menu);
    }) {
        ask(*control("Port_0"));
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            throw std::runtime_error("no menu opened");
        }
        return *menu;
    }
    void choose(QMenu& menu, int entry) {
        menu.setActiveAction(menu.actions().at(entry));
        QTest::keyClick(&menu, Qt::Key_Return);
    }
};

TEST_F(PortMenu, ListsTheDevicesAndChoosingOneMapsThePortWithoutChoosingIt) {
    const QString adapter = "( ) " + kAdapter + "  (FT232R USB UART, FTDI, serial number A12345)";
    const QStringList modem{"( ) off /dev/ttyACM0  (Modem)",
                            "( ) off     not allowed for this user: add yourself to the dialout "
                            "group, then log out and in"};
    const std::function<void(QWidget&)> ways[] = {
        [](QWidget& button) { QTest::keyClick(&button, Qt::Key_Menu); },
        [](QWidget& button) { QTest::keyClick(&button, Qt::Key_F10, Qt::ShiftModifier); },
        [](QWidget& button) {
            QContextMenuEvent rightClick(QContextMenuEvent::Mouse, {5, 5},
                                         button.mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(&button, &rightClick);
        }};
    const QStringList listed =
        QStringList{adapter} + modem + QStringList{"--", "(x) Default (/dev/ttyS0)"};
    for (const auto& ask : ways) {
        QMenu& menu = menuOfComOne(ask);
        EXPECT_EQ(entriesOf(menu), listed);
        QTest::keyClick(&menu, Qt::Key_Escape);
    }

    choose(menuOfComOne(), 0);
    const QString settings = QString::fromStdString(serial::settingsFilePath());
    EXPECT_EQ(readFileBytes(settings.toStdString()),
              "[ports]\nCom1=" + kAdapter.toStdString() + "\n");
    const QString tip = "Com1 opens " + kAdapter + " (the settings file " + settings + ")";
    EXPECT_EQ(control("Port_0")->toolTip(), tip);
    EXPECT_EQ(control("Port_0")->accessibleDescription(), tip);
    EXPECT_TRUE(log.empty()) << "the station was told nothing";
    EXPECT_EQ(chosenPort(), 2) << "Com2 stays chosen";
    EXPECT_TRUE(entriesOf(menuOfComOne()).front().startsWith("(x) " + kAdapter));

    choose(menuOfComOne(), 4);
    EXPECT_EQ(control("Port_0")->toolTip(), "Com1 opens /dev/ttyS0 (the default)");

    qputenv("SCANFORMS_COM1", "/nonexistent/scanner");
    const QStringList fixed =
        QStringList{
            "( ) off Com1 opens /nonexistent/scanner, set by the variable SCANFORMS_COM1: "
            "it cannot be changed here",
            "--", "( ) off" + adapter.mid(3)} +
        modem +
        QStringList{"(x) off /nonexistent/scanner", "( ) off     no such device", "--",
                    "( ) off Default (/dev/ttyS0)"};
    EXPECT_EQ(entriesOf(menuOfComOne()), fixed);
}

// Choosing the adapter for Com1 over a settings file an administrator wrote:
// one line changed or added, every other byte kept; or the file refused with
// a box, unchanged.
TEST_F(PortMenu, AChoiceEditsOneLineOfTheSettingsFileOrRefusesIt) {
    const std::string com1 = "Com1=" + kAdapter.toStdString();
    const std::string head = "; room 12\r\n[ports]\r\nCom3=/dev/ttyUSB\xE9\r\n";
    const std::string tail =
        "\r\n[scanner]\r\nSetupAnswerTimeout=20\r\n[ports]\r\nCom2=/dev/a\0b ; spare\r\n"s;
    struct Case {
        const char* what;
        std::string before;
        std::string after;    // empty: the file left as it was
        const char* refusal;  // what the box says after the file's name
    };
    const Case cases[] = {
        {"the line changed, its comment kept", head + "Com1 = /dev/ttyS0 ; old\r\n" + tail,
         head + "Com1 = " + kAdapter.toStdString() + " ; old\r\n" + tail, ""},
        {"the line added to the first group", head + tail, head + com1 + "\r\n" + tail, ""},
        {"the last of two lines changed", head + "Com1=/a\r\n" + tail + "Com1=/b\r\n",
         head + "Com1=/a\r\n" + tail + com1 + "\r\n", ""},
        {"the group added", "[scanner]\nSetupAnswerTimeout=20",
         "[scanner]\nSetupAnswerTimeout=20\n\n[ports]\n" + com1 + "\n", ""},
        {"not text", std::string("\x89PNG\r\n\x1a\n\0", 9), "", " is not a text file."},
        {"too large", "; " + std::string(1024 * 1024, 'x') + "\n", "",
         " is larger than 1048576 bytes, too large for a settings file."},
        {"a folder", "", "", " is not a regular file."},
    };
    const std::string path = serial::settingsFilePath();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        if (c.before.empty()) {
            std::filesystem::create_directory(path);
        } else {
            std::ofstream(path, std::ios::binary) << c.before;
        }
        boxes.seen.clear();
        choose(menuOfComOne(), 0);
        if (c.after.empty()) {
            ASSERT_EQ(boxes.seen.size(), 1u);
            EXPECT_EQ(boxes.seen[0].text, QString::fromStdString("Com1 was not changed: the "
                                                                 "settings file " +
                                                                 path + c.refusal));
            if (!c.before.empty()) {
                EXPECT_EQ(readFileBytes(path), c.before);
            }
        } else {
            EXPECT_TRUE(boxes.seen.empty());
            EXPECT_EQ(readFileBytes(path), c.after);
        }
    }
}

}  // namespace
}  // namespace scanforms::testing
