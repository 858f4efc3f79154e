// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// Where the harness reports what it finds wrong while it drives a station: a
// modal window nobody could answer, a button the window lacks, a scanner that
// never answered ready. The test programs make each report a failure of the
// running test (test_main.cpp). Anywhere else it is printed on standard
// error and the program ends with status 1: a measurement or a driven batch
// means nothing after it.

#include <functional>
#include <string>

namespace scanforms::testing {

void reportProblem(const std::string& what);
// Replaces the default report, for the whole program.
void setProblemReport(std::function<void(const std::string&)> report);

}  // namespace scanforms::testing
