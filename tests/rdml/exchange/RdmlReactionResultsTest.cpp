// SPDX-License-Identifier: GPL-3.0-or-later
// The results every RDML writer shares: the mean-efficiency Cq, the
// exclusion rule and its texts, the dye ids, the date texts and the 32-bit
// number texts of cq, excl, bgFluor and quantFluor.
#include <gtest/gtest.h>

#include <cmath>

#include "rdml/exchange/RdmlReactionResults.h"
#include "rdml/model/RDML_v1_2_CR.h"
#include "tests/rdml/exchange/RdmlWriteTestSupport.h"

namespace qurvex {
namespace {

TRunState oneSample() {
    TRunState run;
    run.nsamples = 1;
    for (auto* flags : {&run.noamplif, &run.userexcluded, &run.bgerror, &run.manualbg,
                        &run.effoutlier, &run.noplateau, &run.non0})
        flags->assign(2, 0);
    run.ct = {0, 23.45};
    run.bgarr = {0, 1.5};
    run.sampftval = {0, -1};
    run.sampmeaneff = {0, 1.9};
    return run;
}

struct TFlagCase {
    bool noamplif, user, bg, manual, outlier, noplateau;
    bool excluded;
    const char* text;
};

TEST(RdmlReactionResults, exclusion_eachFlagCombination_ruleAndText) {
    const TFlagCase cases[] = {
        {false, false, false, false, false, false, false, ""},
        {true, true, false, false, false, false, true, "no_amplif"},
        {true, false, true, false, true, true, true, "no_amplif"},
        {false, true, false, false, false, false, true, "skipped_by_user"},
        {false, true, true, false, false, false, true, "baseline_error"},
        {false, false, true, false, true, true, true, "eff_outlier_and_no_plateau"},
        {false, false, true, true, false, false, false, "baseline_error"},
        {false, true, true, true, false, false, true, "baseline_error"},
        {false, false, false, false, true, false, false, ""},
        {false, false, false, false, false, true, false, ""},
        {false, false, false, false, true, true, true, "eff_outlier_and_no_plateau"},
    };
    for (const TFlagCase& c : cases) {
        TRunState run = oneSample();
        run.noamplif[1] = c.noamplif;
        run.userexcluded[1] = c.user;
        run.bgerror[1] = c.bg;
        run.manualbg[1] = c.manual;
        run.effoutlier[1] = c.outlier;
        run.noplateau[1] = c.noplateau;
        ApplyExclusionRule(run);
        EXPECT_EQ(run.non0[1] != 0, c.excluded) << c.text;
        EXPECT_EQ(ExclusionText(run, 1), c.text);
        if (c.excluded) {
            EXPECT_TRUE(IsQurvexExclusionText(ExclusionText(run, 1)));
        }
    }
    EXPECT_FALSE(IsQurvexExclusionText(" baseline_error"));
    EXPECT_FALSE(IsQurvexExclusionText("user note"));
}

TEST(RdmlReactionResults, meanEfficiencyCq_strictLimits) {
    struct {
        double ct, eff, expected;
    } cases[] = {
        {20.0, 2.0, 10.0 + 0.3 / std::log10(2.0)},
        {0.0, 2.0, 0.0},
        {-1.0, 2.0, 0.0},
        {20.0, 1.001, 0.0},
        {20.0, 1.0011, 10.0 + 0.3 / std::log10(1.0011)},
    };
    for (const auto& c : cases) {
        TRunState run = oneSample();
        run.ct[1] = c.ct;
        run.sampmeaneff[1] = c.eff;
        run.meancyc = {0, 10.0};
        run.meanlogfluor = {0, -1.0};
        run.sampftval = {0, -0.7};
        ApplyMeanEfficiencyCq(run);
        EXPECT_NEAR(run.ct[1], c.expected, 1e-9) << c.ct << " " << c.eff;
    }
}

TEST(RdmlReactionResults, texts_dyeIdsAndDates) {
    EXPECT_EQ(RdmlDyeId(1), "non-saturating DNA binding dye");
    EXPECT_EQ(RdmlDyeId(6), "DNA-zyme probe");
    EXPECT_EQ(RdmlDyeId(7), "saturating DNA binding dye");
    EXPECT_EQ(RdmlDyeId(0), "");
    EXPECT_EQ(RdmlDyeId(8), "");
    EXPECT_EQ(RdmlDateTimeText(test::fixedTime()), "2026-12-07T14:05:09");
    EXPECT_EQ(RdmlDateText(test::fixedTime()), "2026-12-07");
}

TEST(RdmlReactionResults, write_fourByteFloatTextsAndExcl) {
    auto root = RDML_v1_2_CR::NewRdml();
    auto data = root.Get_Experiment().Add().Get_Run().Add().Get_React().Add().Get_Data().Add();
    TRunState run = oneSample();
    WriteReactionResults(data, run, 1, 0.0);
    const pugi::xml_node node = data.DomNode();
    EXPECT_STREQ(node.child("cq").text().get(), "23.4500007629395");
    EXPECT_FALSE(node.child("excl"));
    EXPECT_STREQ(node.child("bgFluor").text().get(), "1.5");
    EXPECT_STREQ(node.child("quantFluor").text().get(), "0.100000001490116");

    run.non0[1] = 1;
    run.userexcluded[1] = 1;
    WriteReactionResults(data, run, 1, 0.25);
    EXPECT_STREQ(node.child("cq").text().get(), "-1");
    EXPECT_STREQ(node.child("excl").text().get(), "skipped_by_user");
    EXPECT_STREQ(node.child("bgFluor").text().get(), "1.25");

    // A chemistry with a Cq correction adds it to an included Cq only.
    run.non0[1] = 0;
    run.chemistry = 3;
    WriteReactionResults(data, run, 1, 0.0);
    EXPECT_STREQ(node.child("cq").text().get(), "22.4500007629395");
}

}  // namespace
}  // namespace qurvex
