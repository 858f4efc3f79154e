// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "win32app/program.h"

#include <shellapi.h>
#include <shlobj.h>
#include <windows.h>

#include <cstdint>

#include "textfile/folder_lock.h"
#include "win32window/message_box.h"
#include "win32/win32_text.h"
#include "win32window/wide_text.h"

#ifndef SCANFORMS_VERSION
#error "SCANFORMS_VERSION names the version the program reports"
#endif

namespace scanforms::win32 {
namespace {

constexpr char kUsage[] =
    "Usage: scanforms [--list-ports | --help | --version]\n"
    "A scanning station: reads answer sheets from an optical mark reader on a serial port\n"
    "into Scan.TXT in the current directory.\n"
    "\n"
    "Options:\n"
    "  --list-ports  List the serial ports and the port each of Com1 to Com4 opens.\n"
    "  --station     Start in the folder Scan Forms of your documents, made with Com1\n"
    "                chosen when it is not there (as the Start menu's Scan Forms does).\n"
    "  -h, --help    Displays this help.\n"
    "  -v, --version Displays version information.\n";

// A window program has no console of its own: its text goes where its
// standard output was sent, or else to the console it was started from.
void print(const std::string& text) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) {
        if (AttachConsole(ATTACH_PARENT_PROCESS) == FALSE) {
            return;  // started from no console: nowhere to print
        }
        out = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                          nullptr);
    }
    DWORD mode = 0;
    if (GetConsoleMode(out, &mode) != FALSE) {
        const std::wstring wide = toWide(text);
        DWORD written = 0;
        WriteConsoleW(out, wide.c_str(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        DWORD written = 0;
        WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
}

// The watch window's client size, in pixels.
constexpr int kWatchWidth = 480;
constexpr int kWatchHeight = 180;

// The folder as the operator knows it, one byte a character as the boxes
// show text.
std::string shownFolder() {
    std::wstring folder(MAX_PATH, L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return toBytes(folder);
}

FolderGuard* refreshedGuard = nullptr;

void CALLBACK refreshLock(HWND, UINT timer, UINT_PTR, DWORD) {
    if (refreshedGuard != nullptr && !refreshedGuard->refresh()) {
        KillTimer(nullptr, timer);
    }
}

// Shows the watch of another station's quiet lock, with its Cancel, until
// the guard stops watching or the operator gives up.
void watchLock(FolderGuard& guard) {
    if (!guard.watching()) {
        return;
    }
    HWND watch = CreateWindowExW(
        WS_EX_DLGMODALFRAME, L"STATIC", L"Scan Forms", WS_POPUP | WS_CAPTION | WS_SYSMENU,
        CW_USEDEFAULT, CW_USEDEFAULT, kWatchWidth, kWatchHeight, nullptr, nullptr, nullptr, nullptr);
    HWND text = CreateWindowExW(0, L"STATIC", fromBytes(guard.watchText()).c_str(),
                                WS_CHILD | WS_VISIBLE, 12, 12, kWatchWidth - 30, 90, watch,
                                nullptr, nullptr, nullptr);
    HWND cancel = CreateWindowExW(0, L"BUTTON", L"Cancel",
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                  kWatchWidth / 2 - 45, 110, 90, 26, watch, nullptr, nullptr,
                                  nullptr);
    for (HWND control : {text, cancel}) {
        SendMessageW(control, WM_SETFONT,
                     reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    }
    ShowWindow(watch, SW_SHOW);
    SetFocus(cancel);
    const UINT_PTR look = SetTimer(nullptr, 0, FolderGuard::kLookEvery.count(), nullptr);
    MSG message{};
    while (guard.watching() && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.wParam == look) {
            guard.look();
            SetWindowTextW(text, fromBytes(guard.watchText()).c_str());
            continue;
        }
        // A click on Cancel, Return or Escape on it, or the close box.
        const bool cancelled =
            (message.hwnd == cancel && message.message == WM_LBUTTONUP) ||
            (message.message == WM_KEYDOWN &&
             (message.wParam == VK_ESCAPE || message.wParam == VK_RETURN ||
              message.wParam == VK_SPACE)) ||
            (message.hwnd == watch && message.message == WM_NCLBUTTONDOWN &&
             message.wParam == HTCLOSE);
        if (cancelled) {
            guard.giveUp();
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    KillTimer(nullptr, look);
    DestroyWindow(watch);
}

// Enters Documents\Scan Forms, making it first with Com1 as the port when it
// is not there; shows one box and returns false when it cannot.
bool enterStationFolder() {
    wchar_t documents[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr,
                                SHGFP_TYPE_CURRENT, documents))) {
        showMessageBox(nullptr, "Scan Forms cannot find your Documents folder.",
                       BoxStyle::Information, std::nullopt);
        return false;
    }
    const std::wstring folder = std::wstring(documents) + L"\\Scan Forms";
    if (CreateDirectoryW(folder.c_str(), nullptr) != FALSE) {
        HANDLE portFile = CreateFileW((folder + L"\\Com.TXT").c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (portFile != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(portFile, "1\r\n", 3, &written, nullptr);
            CloseHandle(portFile);
        }
    }
    if (SetCurrentDirectoryW(folder.c_str()) == FALSE) {
        showMessageBox(nullptr,
                       "Scan Forms cannot open the station folder " + toBytes(folder) + ".",
                       BoxStyle::Information, std::nullopt);
        return false;
    }
    return true;
}

}  // namespace

std::vector<std::wstring> commandLineArguments() {
    int count = 0;
    LPWSTR* split = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    for (int i = 1; i < count; ++i) {
        arguments.emplace_back(split[i]);
    }
    LocalFree(split);
    return arguments;
}

std::string portListing(const PortMenuSources& ports) {
    std::string out = "Serial ports here:\n";
    const std::vector<SerialPort> present = ports.ports();
    if (present.empty()) {
        out += "  none\n";
    }
    for (const SerialPort& port : present) {
        out +=
            "  " + port.name + (port.friendlyName.empty() ? "" : "  " + port.friendlyName) + "\n";
    }
    out += "\nThe Scan window's ports:\n";
    for (std::int16_t port = 1; port <= layout::kPortCount; ++port) {
        out += "  Com" + std::to_string(port) + "  " + ports.opens(port) + "\n";
    }
    return out;
}

std::optional<int> runOptions(const std::vector<std::wstring>& arguments,
                              const PortMenuSources& ports) {
    if (arguments.empty()) {
        return std::nullopt;
    }
    const std::wstring& option = arguments.front();
    if (arguments.size() == 1 && (option == L"--help" || option == L"-h" || option == L"-?")) {
        print(kUsage);
        return 0;
    }
    if (arguments.size() == 1 && (option == L"--version" || option == L"-v")) {
        print(std::string("scanforms ") + SCANFORMS_VERSION + "\n");
        return 0;
    }
    if (arguments.size() == 1 && option == L"--station") {
        return enterStationFolder() ? std::nullopt : std::optional<int>(1);
    }
    if (arguments.size() == 1 && option == L"--list-ports") {
        print(portListing(ports));
        return 0;
    }
    print("scanforms: unknown option '" + toUtf8(option) + "'\n" + kUsage);
    return 2;
}

int runScanForms(Scanner& scanner, const ProgramParts& parts) {
    // One station per folder, and the folder locked before any file in it
    // is read or written.
    FolderGuard guard(shownFolder, parts.folderLog);
    watchLock(guard);
    if (!guard.locked()) {
        if (!guard.refusal().empty()) {
            showMessageBox(nullptr, guard.refusal(), BoxStyle::Information, std::nullopt);
        }
        return 1;
    }
    refreshedGuard = &guard;
    const auto refreshEvery =
        std::chrono::duration_cast<std::chrono::milliseconds>(textfile::kLockRefreshInterval);
    const UINT_PTR refreshTimer =
        SetTimer(nullptr, 0, static_cast<UINT>(refreshEvery.count()), refreshLock);
    keepRecordFileWhole(parts.folderLog);

    int exitCode = 0;
    {
        ScanWindow window(scanner, parts.ports, parts.stationLog);
        window.watchFolder(guard);
        exitCode = window.run();
    }
    KillTimer(nullptr, refreshTimer);
    refreshedGuard = nullptr;
    return exitCode;
}

}  // namespace scanforms::win32
