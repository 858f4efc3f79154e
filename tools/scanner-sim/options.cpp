// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "options.h"

namespace scanner_sim {

Options parseOptions(const std::vector<std::string>& arguments) {
    Options options;
    bool haveScript = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--link" || argument == "--log") {
            if (i + 1 == arguments.size() || arguments[i + 1].empty()) {
                throw UsageError(argument + " needs a path");
            }
            (argument == "--link" ? options.link : options.log) = arguments[++i];
        } else if (argument == "--wire-speed") {
            options.wireSpeed = true;
        } else if (argument.starts_with("--")) {
            throw UsageError("unknown option " + argument);
        } else if (haveScript) {
            throw UsageError("only one script, please: " + argument);
        } else {
            options.script = argument;
            haveScript = true;
        }
    }
    if (!haveScript) {
        throw UsageError("no script given");
    }
    return options;
}

}  // namespace scanner_sim
