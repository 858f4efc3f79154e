// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The Scan window over the Windows API: the system's standard controls built
// from the control table (scan_controls.h), and the StationView through which
// the station's logic drives them. The Qt window on Linux is the same
// station's other view, over the same table.
//
//   BN_CLICKED of StartScan, InitializeScanner, Cancel, Port_0..Port_3
//       --> Station::on...Clicked (its HandlerGate runs one handler at a time)
//   WM_CONTEXTMENU on a port button --> the port's menu (port_menu.h); the
//       station never hears of it; the buttons' tooltips name the devices
//       the ports open ("Com1 opens COM3")
//   the scanner (the component handed in) --events--> Station
//   Station --> StationView, implemented here: the EDIT txtProcessing, the
//               STATIC Prompt and Label1, the Port buttons, MessageBoxW,
//               MessageBeep, the log, the end of the program
//   creating the window reads the port file (before it is shown);
//   WM_DESTROY closes the port (never after Done)
//
// Keys: Tab and the arrows move as in a dialog (IsDialogMessage in the
// loop); Return and Space press the focused button; a key's repeats
// (WM_KEYDOWN with bit 30 of lParam set) press no button, also after the box
// that its first press answered has gone.

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "station/scanner.h"
#include "station/station.h"
#include "station/station_view.h"
#include "win32window/port_menu.h"
#include "win32window/scan_controls.h"

namespace scanforms::win32 {

// The window class, which a driver may look for beside the caption.
inline constexpr wchar_t kScanWindowClass[] = L"ScanFormsScan";

// Where the station's log lines go: one line each, bytes as the station gave
// them.
using StationLog = std::function<void(const std::string& line)>;

class ScanWindow : public StationView {
public:
    // Builds the window over `scanner`, hidden, and reads the port file; a
    // failure box, if any, shows before the window.
    ScanWindow(Scanner& scanner, PortMenuSources portMenus, StationLog log);
    // Closes the port, unless Done already ended the program.
    ~ScanWindow() override;
    ScanWindow(const ScanWindow&) = delete;
    ScanWindow& operator=(const ScanWindow&) = delete;

    HWND handle() const { return window_; }
    // Shows the window and runs the thread's messages until Done or the close
    // box ends the program. Returns the exit code.
    int run();
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

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void onCommand(HWND control, int notification);
    void onPortClicked(int index);
    void onContextMenu(HWND control, LPARAM at);
    void updatePortTabStops();
    // Each port button's tooltip: the device it opens now.
    void updatePortTips();
    // True when the loop drops `message` or has handled it here.
    bool keyHandled(const MSG& message);
    int portIndexOf(HWND control) const;
    void finish();

    HWND window_ = nullptr;
    std::unique_ptr<ScanControls> controls_;
    std::array<HWND, layout::kPortCount> ports_{};
    HWND status_ = nullptr;
    HWND tips_ = nullptr;
    PortMenuSources portMenus_;
    StationLog log_;
    // The status line as the logic last wrote it, until the operator types
    // into the box: the box's own text turns some bytes into others.
    std::optional<std::string> statusBytes_;
    bool writingStatus_ = false;
    // Done or the close box ended the program: the loop returns.
    bool finished_ = false;
    Station station_;
};

}  // namespace scanforms::win32
