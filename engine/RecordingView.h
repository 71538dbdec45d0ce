// SPDX-License-Identifier: GPL-3.0-or-later
// An engine view that records every notice as a short text ("results 3"),
// for tests and for headless runs. Progress is not recorded: the engine
// sends it at a rate bounded by time. Confirmations answer `answer`.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "engine/EngineView.h"

namespace qurvex {

class RecordingView : public IEngineView {
public:
    std::vector<std::string> calls;
    std::vector<std::string> messages;  // texts of showmessage and confirm
    bool answer = true;

    // Number of recorded calls that start with `prefix`.
    int count(const std::string& prefix) const {
        return static_cast<int>(std::count_if(
            calls.begin(), calls.end(),
            [&](const std::string& c) { return c.compare(0, prefix.size(), prefix) == 0; }));
    }

    // "name n". (Built by append: GCC 12 warns falsely on literal + string.)
    static std::string withnumber(const char* name, int n) {
        std::string r(name);
        r.append(" ").append(std::to_string(n));
        return r;
    }

    void setbusycursor(bool busy) override {
        calls.push_back(busy ? "cursor busy" : "cursor default");
    }
    void showmessage(TMessageKind kind, const std::string& text) override {
        static const char* const kinds[] = {"warning", "error", "information"};
        calls.push_back(std::string("message ").append(kinds[static_cast<int>(kind)]));
        messages.push_back(text);
    }
    bool confirm(const std::string& text) override {
        calls.push_back("confirm");
        messages.push_back(text);
        return answer;
    }
    void stagechanged(TRunStage stage) override {
        calls.push_back(withnumber("stage", static_cast<int>(stage)));
    }
    void pageneeded(TRunPage page) override {
        calls.push_back(withnumber("page", static_cast<int>(page)));
    }
    void tablechanged(TRunTable table, int row) override {
        calls.push_back(withnumber("table", static_cast<int>(table)).append(" ") +
                        std::to_string(row));
    }
    void resultschanged(int s) override { calls.push_back(withnumber("results", s)); }
    void axeschanged() override { calls.push_back("axeschanged"); }
    void limitschanged(TLimitEdit edit) override {
        calls.push_back(withnumber("limits", static_cast<int>(edit)));
    }
    void thresholdchanged() override { calls.push_back("threshold"); }
    void samplechanged(int s) override { calls.push_back(withnumber("sample", s)); }
    void groupshownchanged() override { calls.push_back("groupshown"); }
    void subsetschanged() override { calls.push_back("subsets"); }
};

}  // namespace qurvex
