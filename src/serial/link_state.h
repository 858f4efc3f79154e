// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

namespace scanforms::serial {

// Where the component's serial line stands.
//
//   Closed --openPort, device opens--------> Open
//   Open ----device error or device gone---> Lost   (one scan fault)
//   Lost ----recover, device back----------> Open
//   any -----closePort---------------------> Closed
enum class LinkState {
    Closed,  // never opened, or closed by the program
    Open,    // the device is open and answering
    Lost,    // the device went away while open; the port has been closed
};

}  // namespace scanforms::serial
