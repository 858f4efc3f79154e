// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// Texts the station shows the operator that other code waits for or picks
// out: the status line once the scanner answered ready or when a batch did
// not start, and the message
// boxes of a scanning fault, of the end of a batch and of a failure (whose
// description follows the prefix). Station writes them; whatever drives a
// station as an operator (the test and benchmark harness) reads them here.

namespace scanforms {

inline constexpr char kScannerReady[] =
    "OK to scan forms.  Click the Start Scanning button when you are ready.";
inline constexpr char kFaultBox[] = "Scanning error occurred or scanner timeout.  Try again.";
inline constexpr char kEndOfBatchBox[] = "End of Batch";
inline constexpr char kFailurePrefix[] = "You have encountered error ";
// The status line after a Start Scanning that failed before the scanner was
// asked to read: the failure's box says what to mend.
inline constexpr char kBatchNotStarted[] =
    "The batch did not start.  Mend what the error says, then click Start Scanning again.";

}  // namespace scanforms
