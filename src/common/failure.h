// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include <stdexcept>
#include <string>

namespace scanforms {

// A run-time failure raised by a file operation or by the scanner component.
// Its description is the short text an operator reads after
// "You have encountered error ", so it must make sense on its own.
class Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& description) : std::runtime_error(description) {}

    std::string description() const { return what(); }
};

// Runs `step`; a Failure it raises goes on with `what` (the file it failed
// on) after its description: "Permission denied: com.TXT".
template <typename Step>
void namingOnFailure(const std::string& what, Step&& step) {
    try {
        step();
    } catch (const Failure& failure) {
        throw Failure(failure.description() + ": " + what);
    }
}

// The description for a failed system call, in the words an operator
// understands ("File not found", "Disk full", ...).
std::string describeErrno(int error);

}  // namespace scanforms
