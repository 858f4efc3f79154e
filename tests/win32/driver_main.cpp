// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// scanforms-driver: plays the operator of a Scan window that another program
// shows, step by step, and prints what it saw, one line a step:
//
//   scanforms-driver [--deadline SECONDS] STEP...
//     window       wait for the Scan window; prints its client size
//     controls     prints every control: name, class, place, size, caption
//     press NAME   clicks the control of the table's name (StartScan, Port_0)
//     box          answers the next message box; prints its style, title, text
//     status TEXT  waits until the status line reads TEXT
//     gone         waits until the Scan window has gone
//
// Each wait ends at the deadline (10 s unless told); a step that fails ends
// the driver with status 1 and says which.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "layout/control_layout.h"
#include "win32/window_driver.h"
#include "win32window/wide_text.h"

namespace driver = scanforms::testing::win32;

namespace {

int fail(const std::string& step, const std::string& why) {
    std::printf("FAILED %s: %s\n", step.c_str(), why.c_str());
    std::fflush(stdout);
    return 1;
}

std::string statusOf(HWND window) {
    return scanforms::win32::toBytes(
        driver::controlText(driver::controlNamed(window, "txtProcessing")));
}

}  // namespace

int main(int argc, char** argv) {
    std::chrono::milliseconds deadline{10000};
    const std::wstring caption = scanforms::win32::fromBytes(scanforms::layout::kScanCaption);
    HWND window = nullptr;
    DWORD process = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string step = argv[i];
        const bool hasArgument = i + 1 < argc;
        if (step == "--deadline" && hasArgument) {
            deadline = std::chrono::milliseconds(std::atoi(argv[++i]) * 1000);
        } else if (step == "window") {
            window = driver::waitForWindow(caption, deadline);
            if (window == nullptr) {
                return fail(step, "no Scan window showed");
            }
            GetWindowThreadProcessId(window, &process);
            const SIZE size = driver::clientSize(window);
            std::printf("window %ldx%ld\n", size.cx, size.cy);
        } else if (window == nullptr && step != "box") {
            return fail(step, "no Scan window yet: start with the step window");
        } else if (step == "controls") {
            for (const driver::ControlSeen& control : driver::controlsOf(window)) {
                std::printf("%s\n", driver::describe(control).c_str());
            }
        } else if (step == "press" && hasArgument) {
            const std::string name = argv[++i];
            if (!driver::press(window, name)) {
                return fail(step + " " + name, "no such control");
            }
            std::printf("pressed %s\n", name.c_str());
        } else if (step == "box") {
            const auto box = driver::answerBox(process, deadline);
            if (!box) {
                return fail(step, "no message box showed");
            }
            std::printf("%s\n", driver::describe(*box).c_str());
        } else if (step == "status" && hasArgument) {
            const std::string wanted = argv[++i];
            if (!driver::waitUntil([&] { return statusOf(window) == wanted; }, deadline)) {
                return fail(step, "the status line reads \"" + statusOf(window) + "\"");
            }
            std::printf("status %s\n", wanted.c_str());
        } else if (step == "gone") {
            if (!driver::waitUntil([&] { return IsWindow(window) == FALSE; }, deadline)) {
                return fail(step, "the Scan window is still there");
            }
            std::printf("gone\n");
        } else {
            return fail(step, "not a step of the driver's");
        }
        std::fflush(stdout);
    }
    return 0;
}
