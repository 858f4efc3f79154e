// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// window-picture: the Scan window over the fake scanner, after the steps of
// the Linux window's picture (Com2 from Com.TXT, Initialize Scanner, the
// setup answered, Start Scanning, one clean sheet), saved as a 24-bit BMP of
// its client area as the system drew it:
//
//   window-picture OUT.bmp

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <vector>

#include "fakes/fake_scanner.h"
#include "fakes/temp_dir.h"
#include "win32/window_driver.h"
#include "win32window/scan_window.h"

namespace {

scanforms::testing::FakeScanner* shownScanner = nullptr;
HWND shownWindow = nullptr;
const char* picturePath = nullptr;
bool saved = false;

bool saveClientArea(HWND window, const char* path) {
    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right;
    const int height = client.bottom;
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD rowBytes = static_cast<DWORD>((width * 3 + 3) & ~3);
    const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{
        0x4D42,
        static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + imageBytes), 0, 0,
        sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    info.bmiHeader.biSizeImage = imageBytes;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), imageBytes);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return out.good();
}

void press(const char* name) {
    SendMessageW(scanforms::testing::win32::controlNamed(shownWindow, name), BM_CLICK, 0, 0);
}

void CALLBACK playSteps(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    press("InitializeScanner");
    shownScanner->raiseInitComplete(1);
    press("StartScan");
    std::string answers = "ADPHB@ADHPBAAD@HHPDA";
    answers.resize(200, '@');
    shownScanner->raiseSheetRead("0123456789004217XYZ1234567" + answers);
    // Every button shows its plain face.
    SetFocus(scanforms::testing::win32::controlNamed(shownWindow, "txtProcessing"));
    RedrawWindow(shownWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    saved = saveClientArea(shownWindow, picturePath);
    PostMessageW(shownWindow, WM_CLOSE, 0, 0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: window-picture OUT.bmp\n");
        return 2;
    }
    picturePath = argv[1];
    scanforms::testing::TempDir folder;
    folder.write("Com.TXT", "2\r\n");
    std::vector<std::string> calls;
    scanforms::testing::FakeScanner scanner(calls);
    shownScanner = &scanner;
    scanforms::win32::ScanWindow window(scanner, {}, {});
    shownWindow = window.handle();
    SetTimer(nullptr, 0, 10, playSteps);  // runs once the window shows
    window.run();
    if (!saved) {
        std::fprintf(stderr, "window-picture: cannot write %s\n", picturePath);
        return 1;
    }
    return 0;
}
