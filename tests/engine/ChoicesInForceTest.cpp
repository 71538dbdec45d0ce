// SPDX-License-Identifier: GPL-3.0-or-later
// The choices the engine makes itself reach the window: when it changes the
// window or threshold choice it says so (with the options already set), and
// a new read starts on all samples, common window and threshold, no groups.
#include <gtest/gtest.h>

#include "tests/engine/CoreTestHelpers.h"

namespace qurvex {
namespace {

using coretest::analyse;

// Records the window and threshold choices as they stand at each notice.
class ChoiceView : public RecordingView {
public:
    const TEngine* engine = nullptr;
    std::vector<std::pair<int, int>> shown;
    void stagechanged(TRunStage stage) override {
        RecordingView::stagechanged(stage);
        if (stage == TRunStage::windowchoicechanged)
            shown.emplace_back(engine->options.CommonGroupWindowRG, engine->options.ThresholdsRG);
    }
};

// Two targets of twelve wells, analysed, with their groups numbered.
void groupedRun(TEngine& e) {
    ASSERT_TRUE(analyse(e, testing::makePlate(24, 2, 0.0, 5)));
    std::vector<std::string> names;
    for (int s = 1; s <= e.nsamples; ++s) names.push_back(s <= 12 ? "A" : "B");
    ASSERT_TRUE(e.setidentifiers(names));
    e.numgroupsEditChange();
}

TEST(ChoicesInForce, IndividualFitAndResetAllSayWhichChoicesHold) {
    ChoiceView view;
    TEngine e(&view);
    view.engine = &e;
    groupedRun(e);
    e.options.CommonGroupWindowRG = 1;
    e.options.ThresholdsRG = 1;
    view.shown.clear();
    e.fitallbutClick();
    ASSERT_FALSE(view.shown.empty());
    EXPECT_EQ(view.shown.back(), (std::pair{2, 0}));
    for (int s = 1; s <= e.nsamples; ++s) EXPECT_EQ(e.sampftval[s], e.ftval[0]);

    e.options.ThresholdsRG = 1;
    e.AssignFtVal(1, e.nsamples);
    view.shown.clear();
    e.reset_all_butClick();
    ASSERT_FALSE(view.shown.empty());
    EXPECT_EQ(view.shown.back(), (std::pair{0, 0}));
    EXPECT_TRUE(e.commonwol);
    for (int s = 1; s <= e.nsamples; ++s) {
        EXPECT_EQ(e.woltype[s], 0);
        EXPECT_EQ(e.sampftval[s], e.ftval[0]);
    }
}

TEST(ChoicesInForce, ANewReadForgetsSubsetGroupsAndChoices) {
    RecordingView view;
    TEngine e(&view);
    // A noisy data set: the noisy samples are the subset shown.
    ASSERT_TRUE(analyse(e, testing::makePlate(48, 1, 0.08, 3)));
    ASSERT_EQ(e.ShowSetCBItems[static_cast<std::size_t>(e.ShowSetCBItemIndex)],
              TRunState::TSubset::noisy);
    groupedRun(e);
    e.DetermineEffOutliersButtonClick();
    e.options.ThresholdsRG = 1;
    ASSERT_EQ(e.options.ToggleShowRG, 1);
    ASSERT_EQ(e.ShowGroupCBItems.size(), 3u);

    e.ResetInterfaceAfterRead();
    EXPECT_EQ(e.ShowSetCBItemIndex, 0);
    EXPECT_EQ(e.ShowSetCBItems.front(), TRunState::TSubset::all);
    EXPECT_EQ(e.options.ToggleShowRG, 0);
    EXPECT_EQ(e.options.ThresholdsRG, 0);
    EXPECT_EQ(e.options.CommonGroupWindowRG, 0);
    EXPECT_EQ(e.ShowGroupCBItems, std::vector<std::string>{"All"});
    // The new run's samples find no group of the old run.
    for (int s = 1; s <= e.nsamples; ++s) EXPECT_EQ(e.groupofsample(s), -1);
}

}  // namespace
}  // namespace qurvex
