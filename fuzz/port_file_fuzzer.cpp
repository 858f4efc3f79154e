// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// Any bytes as a port file: reading its fields never crashes, never hangs and
// gives only 16-bit numbers or an operator's failure description.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "common/failure.h"
#include "textfile/int16_field.h"
#include "textfile/text_files.h"

using namespace scanforms;

namespace {

// The fuzzer works in a directory of its own so Com.TXT lands there.
bool enterScratchDirectory() {
    char pattern[] = "/tmp/scanforms-fuzz-XXXXXX";
    return mkdtemp(pattern) != nullptr && chdir(pattern) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = enterScratchDirectory();
    if (!ready) {
        std::abort();
    }
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    try {
        textfile::convertInt16Field(bytes);
    } catch (const Failure& failure) {
        if (failure.description().empty()) {
            std::abort();
        }
    }

    std::ofstream(".port", std::ios::binary | std::ios::trunc) << bytes;
    rename(".port", "Com.TXT");
    textfile::TextFiles files;
    files.openInput(2, "com.txt");
    // Each field consumes at least one byte, so this ends.
    for (std::size_t fields = 0; fields <= size + 1; ++fields) {
        try {
            const std::int16_t value = files.readInt16(2);
            // Whatever was read is written back and read back unchanged.
            const std::string line = textfile::formatLine({value});
            if (textfile::convertInt16Field(line.substr(0, line.size() - 2)) != value) {
                std::abort();
            }
        } catch (const Failure& failure) {
            if (failure.description() == "Input past end of file") {
                break;
            }
        }
    }
    return 0;
}
