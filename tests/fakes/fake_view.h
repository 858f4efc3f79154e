// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "station/station_view.h"

namespace scanforms::testing {

// A recording window: every effect goes to `log` in order; message boxes
// return at once (after running `onBox`, where a test may raise events as a
// scanner would while the box is open).
class FakeView : public StationView {
public:
    explicit FakeView(std::vector<std::string>& log) : log_(log) {}

    std::string status;
    std::string prompt;
    std::string label1;
    std::array<bool, 4> ports{};
    std::vector<std::string> boxes;  // "style|title|text"
    std::vector<std::string> logLines;
    int beeps = 0;
    bool ended = false;
    std::function<void(const std::string&)> onBox;

    std::string statusText() const override { return status; }
    void setStatusText(const std::string& text) override {
        status = text;
        log_.push_back("status:" + text);
    }
    void setPromptCaption(const std::string& text) override {
        prompt = text;
        log_.push_back("prompt:" + text);
    }
    void setLabel1Caption(const std::string& text) override {
        label1 = text;
        log_.push_back("label1:" + text);
    }
    bool portSelected(int index) const override {
        return ports.at(static_cast<std::size_t>(index));
    }
    void selectPort(int index) override {
        ports.fill(false);
        ports.at(static_cast<std::size_t>(index)) = true;
        log_.push_back("select:" + std::to_string(index));
    }
    void messageBox(const std::string& text, BoxStyle style,
                    const std::optional<std::string>& title) override {
        const std::string box =
            std::to_string(static_cast<int>(style)) + "|" + title.value_or("") + "|" + text;
        boxes.push_back(box);
        log_.push_back("box:" + box);
        if (onBox) {
            onBox(text);
        }
    }
    void beep() override {
        ++beeps;
        log_.push_back("beep");
    }
    void log(const std::string& line) override { logLines.push_back(line); }
    void endProgram() override {
        ended = true;
        log_.push_back("end");
    }

private:
    std::vector<std::string>& log_;
};

}  // namespace scanforms::testing
