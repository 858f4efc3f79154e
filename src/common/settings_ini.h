// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The names the port map uses on every platform:
//
//   port 1 --portVariable--> "SCANFORMS_COM1", the environment variable
//   port 1 --portLabel--> "Com1", its key in the settings group kPortsGroup
//
// The settings file itself is read and edited by textfile/ini_lines.h.

#include <cstdint>
#include <string>
#include <string_view>

namespace scanforms {

inline constexpr std::string_view kPortsGroup = "ports";
std::string portVariable(std::int16_t port);
std::string portLabel(std::int16_t port);

}  // namespace scanforms
