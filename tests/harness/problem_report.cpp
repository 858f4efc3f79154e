// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "problem_report.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace scanforms::testing {
namespace {

std::function<void(const std::string&)>& currentReport() {
    static std::function<void(const std::string&)> report = [](const std::string& what) {
        std::fprintf(stderr, "station harness: %s\n", what.c_str());
        std::fflush(nullptr);
        // Not exit(): the Qt objects of the caller's stack are still alive.
        std::_Exit(1);
    };
    return report;
}

}  // namespace

void reportProblem(const std::string& what) {
    currentReport()(what);
}

void setProblemReport(std::function<void(const std::string&)> report) {
    currentReport() = std::move(report);
}

}  // namespace scanforms::testing
