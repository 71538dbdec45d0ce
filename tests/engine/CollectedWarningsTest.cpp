// SPDX-License-Identifier: GPL-3.0-or-later
// The skipped-group warnings of one long command reach the user as one
// message, its lines in the order they arose; outside a long command a
// warning is shown at once; the s switch shows none.
#include <gtest/gtest.h>

#include "tests/engine/CoreTestHelpers.h"

namespace qurvex {
namespace {

using coretest::analyse;
using testing::SyntheticRun;

TEST(CollectedWarnings, ShownAtOnceOutsideALongCommandAndOnceAfterIt) {
    RecordingView view;
    TEngine e(&view);
    e.warnonce("first");
    EXPECT_EQ(view.messages, std::vector<std::string>{"first"});
    view.messages.clear();
    {
        TEngine::BusyGuard outer(e);
        e.warnonce("a");
        {
            TEngine::BusyGuard inner(e);
            e.warnonce("b");
        }
        EXPECT_TRUE(view.messages.empty());
        e.warnonce("c");
    }
    EXPECT_EQ(view.messages, std::vector<std::string>{"a\nb\nc"});
    EXPECT_EQ(view.count("message warning"), 2);
    // Nothing is left over for the next command.
    { TEngine::BusyGuard again(e); }
    EXPECT_EQ(view.count("message warning"), 2);
}

// 40 targets of one well each: every group is skipped, each with its line.
TEST(CollectedWarnings, WindowsPerGroupOverFortySingleWellsSayItOnce) {
    for (const bool silent : {false, true}) {
        SCOPED_TRACE(silent ? "silent" : "not silent");
        RecordingView view;
        TEngine e(&view);
        e.silentmode = silent;
        const SyntheticRun run = testing::makePlate(40, 40, 0.0, 9);
        ASSERT_TRUE(analyse(e, run));
        std::vector<std::string> names;
        for (int s = 1; s <= e.nsamples; ++s) names.push_back(run.wells[s - 1].target);
        ASSERT_TRUE(e.setidentifiers(names));
        e.numgroupsEditChange();
        ASSERT_EQ(e.ngroups, 40);
        view.messages.clear();
        view.calls.clear();
        e.SetWolPerGroupButtonClick();
        if (silent) {
            EXPECT_TRUE(view.messages.empty());
            continue;
        }
        ASSERT_EQ(view.count("message"), 1);
        const std::string& text = view.messages.front();
        int lines = 0;
        for (std::size_t at = 0; (at = text.find("Amplicon group \"", at)) != std::string::npos;
             ++at)
            ++lines;
        EXPECT_EQ(lines, 40);
        EXPECT_NE(text.find("Amplicon group \"" + names[0] +
                            "\" has only one valid sample. Please check your input."),
                  std::string::npos);
    }
}

// A run of one group whose noisy wells leave one valid sample: the baseline
// step places the common window, flags samples without plateau and places it
// again. The group's line comes once, and the same step again says it again.
TEST(CollectedWarnings, BaselineStepOnOneGroupSaysEachGroupLineOnce) {
    RecordingView view;
    TEngine e(&view);
    testing::loadSyntheticRun(e, testing::makePlate(8, 1, 0.3, 5));
    e.ProcessDataAfterRead();
    e.ExtraExcelProcessing();
    const std::string line =
        "Amplicon group \"All\" has only one valid sample. Please check your input.";
    for (int time = 1; time <= 2; ++time) {
        view.messages.clear();
        ASSERT_TRUE(e.BaselineButtonPanelClick());
        EXPECT_EQ(view.messages, (std::vector<std::string>{"all samples excluded", line}));
    }
    // Within one command a line already collected is not repeated; other lines are.
    view.messages.clear();
    {
        TEngine::BusyGuard command(e);
        for (const char* text : {"a", "b", "a", "b", "c"}) e.warnonce(text);
    }
    EXPECT_EQ(view.messages, std::vector<std::string>{"a\nb\nc"});
}

}  // namespace
}  // namespace qurvex
