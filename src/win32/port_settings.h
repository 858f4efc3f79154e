// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// Which device each of the window's ports opens on Windows, and the waits a
// site may change, first found:
//
//   SCANFORMS_COM<N> (set and not empty)              a session or a test
//   [ports] ComN in %APPDATA%\scanforms\scanforms.ini  a site's map
//   COM<N>                                             the default
//
//   a port chosen from its button's menu --savePortMapping--> one line of
//       [ports] changed, every other byte of the file kept
//
//   [scanner] SetupAnswerTimeout=<seconds, 1 to 120>
//
// The keys mean what they mean in the Linux settings file; the file is read
// anew each time, so a changed map counts from the next open.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace scanforms::win32 {

std::string settingsFilePath();

std::string portDevice(std::int16_t port);
// COM<N>: what port N opens when nothing maps it.
std::string defaultPortDevice(std::int16_t port);
// Maps port N (1 to 4) to `device`, or back to its default when `device` is
// empty; nothing once the file holds it, else why not.
std::optional<std::string> savePortMapping(std::int16_t port, const std::string& device);

// The setup answer's wait; a value out of range, or no whole number, is
// told to `warn` and the default used.
std::chrono::milliseconds setupAnswerTimeout(const std::function<void(const std::string&)>& warn);

}  // namespace scanforms::win32
