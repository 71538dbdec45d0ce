// SPDX-License-Identifier: GPL-3.0-or-later
// An engine view that records every call as a short text ("plotsample 3"),
// for tests and for headless runs. Confirmations answer `answer`.
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

    bool pumpmessages() override {
        calls.push_back("pumpmessages");
        return false;
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
    void setcontrolvisible(const std::string& name, bool visible) override {
        calls.push_back(std::string(visible ? "show " : "hide ").append(name));
    }
    void plotallsamps() override { calls.push_back("plotallsamps"); }
    void plotsample(int s) override { calls.push_back(withnumber("plotsample", s)); }
    void update_surveys() override { calls.push_back("update_surveys"); }
    void set_sample_pointers() override { calls.push_back("set_sample_pointers"); }
    void axeschanged() override { calls.push_back("axeschanged"); }
    void limiteditchanged(TLimitEdit edit) override {
        calls.push_back(withnumber("limiteditchanged", static_cast<int>(edit)));
    }
    void ftvaleditchanged() override { calls.push_back("ftvaleditchanged"); }
    void samplenumChange(int s) override { calls.push_back(withnumber("samplenumChange", s)); }
    void ShowSetCBChange() override { calls.push_back("ShowSetCBChange"); }
    void ResetInterfaceAfterRead(int previousngroups) override {
        calls.push_back(withnumber("ResetInterfaceAfterRead", previousngroups));
    }
    void datagridschanged() override { calls.push_back("datagridschanged"); }
    void validdatarowchanged(int s) override {
        calls.push_back(withnumber("validdatarowchanged", s));
    }
    void AmpGroupNumEditchanged() override { calls.push_back("AmpGroupNumEditchanged"); }
    void baselinepanelstate(bool done) override {
        calls.push_back(done ? "baselinepanel done" : "baselinepanel waiting");
    }
};

}  // namespace qurvex
