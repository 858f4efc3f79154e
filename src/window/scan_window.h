// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The Scan window on the desktop: the controls of the form and the
// StationView through which the station's logic drives them.
//
//   clicks on StartScan, InitializeScanner, Cancel, Port_0..Port_3
//       --> Station::on...Clicked
//   a port button's menu asked for --> portMenuRequested (the station
//       never hears of it)
//   the scanner (the component handed in) --events--> Station
//   Station --> StationView, implemented here: status box, Prompt, Label1,
//               the Port buttons, modal boxes, beep, the log
//               ("scanforms.station"), end of program
//   creating the window reads the port file (before it is shown);
//   its close box names the sheets on the line first (Station::onCloseBoxClicked);
//   destroying it closes the port (never after Done)

#include <QWidget>
#include <array>
#include <optional>
#include <string>

#include "station/scanner.h"
#include "station/station.h"
#include "station/station_view.h"
#include "layout/control_layout.h"
#include "window/held_key_filter.h"
#include "window/port_button.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace scanforms::window {

class ScanWindow : public QWidget, public StationView {
    Q_OBJECT

public:
    // Builds the window over `scanner` and reads the port file; a failure
    // box, if any, shows before the window.
    explicit ScanWindow(Scanner& scanner, QWidget* parent = nullptr);
    // Closes the port, unless Done already ended the program.
    ~ScanWindow() override;

    // Each port button's tooltip and accessible description: the device it
    // opens.
    void setPortTips(const std::array<std::string, layout::kPortCount>& tips);
    // The station records only while `claim` holds the folder.
    void watchFolder(FolderClaim& claim) { station_.watchFolder(claim); }

    // StationView
    std::string statusText() const override;
    void setStatusText(const std::string& text) override;
    void setPromptCaption(const std::string& text) override;
    void setLabel1Caption(const std::string& text) override;
    bool portSelected(int index) const override;
    void selectPort(int index) override;
    void messageBox(const std::string& text, BoxStyle style,
                    const std::optional<std::string>& title) override;
    void beep() override;
    void log(const std::string& line) override;
    void endProgram() override;

signals:
    // Done ended the program: the window is hidden and nothing of it runs
    // any more. Whoever runs the event loop ends it.
    void programEnded();
    // The operator asked for the menu of port button `index` ("Com1" is 0),
    // to open at `globalPos`.
    void portMenuRequested(int index, const QPoint& globalPos);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void connectClicks();
    void updatePortTabStops();
    void onClick(QPushButton* button, void (Station::*handler)());

    QPlainTextEdit* txtProcessing_ = nullptr;
    QPushButton* startScan_ = nullptr;
    QPushButton* initializeScanner_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QLabel* prompt_ = nullptr;
    QLabel* label1_ = nullptr;
    std::array<PortButton*, layout::kPortCount> port_{};

    // The status line as the logic last wrote it, until the operator types
    // into the box: the box's own text turns some bytes into others (a
    // no-break space into a space, CR into a line break).
    std::optional<std::string> statusBytes_;
    bool writingStatus_ = false;

    // A held Return, Enter or Space presses a button once; its repeats press
    // none, also after the box it answered has gone.
    HeldKeyFilter heldKeys_;
    Station station_;
};

}  // namespace scanforms::window
