// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "win32window/scan_window.h"

#include <commctrl.h>

#include <utility>

#include "common/settings_ini.h"

#include "layout/control_layout.h"
#include "win32/win32_text.h"
#include "win32window/message_box.h"
#include "win32window/resource_ids.h"
#include "win32window/wide_text.h"

namespace scanforms::win32 {
namespace {

using layout::ControlKind;
using layout::toPixels;

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

void registerClass(HINSTANCE instance) {
    static const bool registered = [instance] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcW;  // each window sets its own at creation
        windowClass.hInstance = instance;
        windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(SCANFORMS_ICON));
        if (windowClass.hIcon == nullptr) {
            windowClass.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
        }
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        const layout::Rgb& back = layout::kScanBackground;
        windowClass.hbrBackground = CreateSolidBrush(RGB(back.red, back.green, back.blue));
        windowClass.lpszClassName = kScanWindowClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

// The edit box breaks a line at CR LF only; the station's texts may break
// one at a lone CR or LF, which the box would otherwise not show as a break.
std::wstring shownInBox(const std::string& bytes) {
    std::wstring shown;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char byte = bytes[i];
        if (byte == '\r' || byte == '\n') {
            shown += L"\r\n";
            if (byte == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
        } else {
            shown += static_cast<wchar_t>(static_cast<unsigned char>(byte));
        }
    }
    return shown;
}

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

ScanWindow::ScanWindow(Scanner& scanner, PortMenuSources portMenus, StationLog log)
    : portMenus_(std::move(portMenus)), log_(std::move(log)), station_(*this, scanner) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    registerClass(instance);
    // A fixed frame around the table's client area, at its stored place.
    const layout::TwipsRect& area = layout::kScanClientArea;
    RECT frame{toPixels(area.left), toPixels(area.top), toPixels(area.left + area.width),
               toPixels(area.top + area.height)};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    window_ = CreateWindowExW(0, kScanWindowClass, fromBytes(layout::kScanCaption).c_str(),
                              kWindowStyle, frame.left, frame.top, frame.right - frame.left,
                              frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&windowProc));

    controls_ = std::make_unique<ScanControls>(window_, instance);
    for (int i = 0; i < layout::kPortCount; ++i) {
        ports_[static_cast<std::size_t>(i)] = controls_->find("Port", i);
    }
    status_ = controls_->find("txtProcessing");
    updatePortTabStops();
    // The tooltip class is the common controls' own, registered once loaded.
    const INITCOMMONCONTROLSEX common{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    InitCommonControlsEx(&common);
    tips_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                            instance, nullptr);
    updatePortTips();

    station_.onWindowCreated();
}

ScanWindow::~ScanWindow() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

LRESULT CALLBACK ScanWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ScanWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->onMessage(message, wParam, lParam);
}

LRESULT ScanWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (lParam != 0) {
                onCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
            }
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
            if (controls_ != nullptr) {
                if (HBRUSH brush = controls_->paint(reinterpret_cast<HWND>(lParam),
                                                    reinterpret_cast<HDC>(wParam))) {
                    return reinterpret_cast<LRESULT>(brush);
                }
            }
            break;
        case WM_CONTEXTMENU:
            onContextMenu(reinterpret_cast<HWND>(wParam), lParam);
            return 0;
        case WM_CLOSE:
            DestroyWindow(window_);
            return 0;
        case WM_DESTROY:
            // The children still exist: the station's last handler may
            // write the status line.
            station_.onWindowDestroyed();
            finish();
            return 0;
        case WM_NCDESTROY:
            window_ = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void ScanWindow::onCommand(HWND control, int notification) {
    if (controls_ == nullptr) {
        return;  // a control telling of its own creation
    }
    if (control == status_ && notification == EN_CHANGE && !writingStatus_) {
        statusBytes_.reset();
        return;
    }
    const layout::ControlLayout* layout = controls_->layoutOf(control);
    if (layout == nullptr || notification != BN_CLICKED) {
        return;
    }
    if (layout->name == "StartScan") {
        station_.onStartScanningClicked();
    } else if (layout->name == "InitializeScanner") {
        station_.onInitializeClicked();
    } else if (layout->name == "Cancel") {
        station_.onDoneClicked();
    } else if (layout->kind == ControlKind::OptionButton) {
        onPortClicked(layout->index);
    }
}

void ScanWindow::onPortClicked(int index) {
    // An option button tells its parent of a click also when it merely gets
    // the focus unchecked (Tab onto it); only a button that the click checked
    // is a port choice, as is a click on the one already selected.
    HWND clicked = ports_.at(static_cast<std::size_t>(index));
    if (SendMessageW(clicked, BM_GETCHECK, 0, 0) != BST_CHECKED) {
        return;
    }
    // The four buttons are not neighbours in the tab order, so the system's
    // own grouping does not clear the others.
    for (HWND port : ports_) {
        if (port != clicked) {
            SendMessageW(port, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
    updatePortTabStops();
    station_.onPortClicked(index);
}

int ScanWindow::portIndexOf(HWND control) const {
    for (std::size_t i = 0; i < ports_.size(); ++i) {
        if (ports_[i] == control) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void ScanWindow::updatePortTips() {
    if (tips_ == nullptr || !portMenus_.opens) {
        return;
    }
    for (int i = 0; i < layout::kPortCount; ++i) {
        const auto port = static_cast<std::int16_t>(i + 1);
        std::wstring text = toWide(portLabel(port) + " opens " + portMenus_.opens(port));
        // The size of the structure that every version of the control takes.
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(ports_[static_cast<std::size_t>(i)]);
        tool.lpszText = text.data();
        SendMessageW(tips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void ScanWindow::updatePortTabStops() {
    // Tab enters the Port buttons at the selected one only; while none is
    // selected each is a tab stop.
    bool anySelected = false;
    for (std::size_t i = 0; i < ports_.size(); ++i) {
        anySelected = anySelected || portSelected(static_cast<int>(i));
    }
    for (std::size_t i = 0; i < ports_.size(); ++i) {
        const LONG_PTR style = GetWindowLongPtrW(ports_[i], GWL_STYLE);
        const bool stop = !anySelected || portSelected(static_cast<int>(i));
        SetWindowLongPtrW(ports_[i], GWL_STYLE, stop ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    }
}

std::string ScanWindow::statusText() const {
    return statusBytes_ ? *statusBytes_ : toBytes(windowText(status_));
}

void ScanWindow::setStatusText(const std::string& text) {
    writingStatus_ = true;
    SetWindowTextW(status_, shownInBox(text).c_str());
    writingStatus_ = false;
    statusBytes_ = text;
}

void ScanWindow::setPromptCaption(const std::string& text) {
    SetWindowTextW(controls_->find("Prompt"), fromBytes(text).c_str());
}

void ScanWindow::setLabel1Caption(const std::string& text) {
    SetWindowTextW(controls_->find("Label1"), fromBytes(text).c_str());
}

bool ScanWindow::portSelected(int index) const {
    return SendMessageW(ports_.at(static_cast<std::size_t>(index)), BM_GETCHECK, 0, 0) ==
           BST_CHECKED;
}

void ScanWindow::selectPort(int index) {
    // The check changes without a click; the station makes the port choice
    // itself.
    for (std::size_t i = 0; i < ports_.size(); ++i) {
        SendMessageW(ports_[i], BM_SETCHECK,
                     static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    updatePortTabStops();
}

void ScanWindow::messageBox(const std::string& text, BoxStyle style,
                            const std::optional<std::string>& title) {
    // Before the window shows (the port file read at creation), the box
    // stands on its own, with its own button on the taskbar.
    showMessageBox(IsWindowVisible(window_) != FALSE ? window_ : nullptr, text, style, title);
}

void ScanWindow::beep() {
    win32::beep();
}

void ScanWindow::log(const std::string& line) {
    if (log_) {
        log_(line);
    }
}

void ScanWindow::endProgram() {
    ShowWindow(window_, SW_HIDE);
    finish();
}

}  // namespace scanforms::win32
