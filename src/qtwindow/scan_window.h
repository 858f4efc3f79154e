#pragma once

// The Scan window on the desktop: the controls of the form and the ScanView
// through which the window's logic drives them.
//
//   clicks on StartScan, InitializeScanner, Cancel, Port_0..Port_3
//       --> Scan::deliver(handler) --> Scan (the window's logic)
//   CComm1 (the component handed in) --events--> Scan
//   Scan --> ScanView, implemented here: status box, Prompt, Label1, the
//            Port buttons, modal boxes, beep, end of program
//   creating the window runs Form_Initialize (before it is shown);
//   destroying it runs Form_Terminate (never after Done)

#include <QWidget>
#include <array>
#include <optional>
#include <string>

#include "qtwindow/control_layout.h"
#include "scanner/ccomm.h"
#include "window/scan.h"
#include "window/scan_view.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace scanforms::qtwindow {

class ScanWindow : public QWidget, public ScanView {
    Q_OBJECT

public:
    // Builds the window over `comm` (the instance CComm1) and runs
    // Form_Initialize; its failure box, if any, shows before the window.
    explicit ScanWindow(CComm& comm, QWidget* parent = nullptr);
    // Runs Form_Terminate unless Done already ended the program.
    ~ScanWindow() override;

    Scan& logic() { return scan_; }
    const Scan& logic() const { return scan_; }

    // ScanView
    std::string statusText() const override;
    void setStatusText(const std::string& text) override;
    void setPromptCaption(const std::string& text) override;
    void setLabel1Caption(const std::string& text) override;
    bool portSelected(int index) const override;
    void selectPort(int index) override;
    void messageBox(const std::string& text, BoxStyle style,
                    const std::optional<std::string>& title) override;
    void beep() override;
    void endProgram() override;

signals:
    // Done ended the program: the window is hidden and nothing of it runs
    // any more. Whoever runs the event loop ends it.
    void programEnded();

private:
    void buildControls();
    void connectClicks();
    void updatePortTabStops();
    void onClick(QPushButton* button, void (Scan::*handler)());

    QPlainTextEdit* txtProcessing_ = nullptr;
    QPushButton* startScan_ = nullptr;
    QPushButton* initializeScanner_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QLabel* prompt_ = nullptr;
    QLabel* label1_ = nullptr;
    std::array<QRadioButton*, kPortCount> port_{};

    // The status line as the logic last wrote it, until the operator types
    // into the box: the box's own text turns some bytes into others (a
    // no-break space into a space, CR into a line break).
    std::optional<std::string> statusBytes_;
    bool writingStatus_ = false;

    Scan scan_;
};

}  // namespace scanforms::qtwindow
