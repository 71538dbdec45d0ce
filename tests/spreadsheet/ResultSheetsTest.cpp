// SPDX-License-Identifier: GPL-3.0-or-later
// The result grids built without a spreadsheet, checked cell by cell against hand-worked values.
#include <gtest/gtest.h>

#include <cmath>

#include "spreadsheet/ResultSheets.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace qurvex {
namespace {

using V = TCellValue;

// A run of n samples with every per-sample array sized, flags clear, results set per sample.
TRunState makeRun(int n) {
    TRunState run;
    run.nsamples = n;
    auto size = [n](auto& v) { v.assign(n + 1, {}); };
    size(run.sampname), size(run.lowlim), size(run.uplim), size(run.ninclu), size(run.indivn0);
    size(run.indiveff), size(run.rval), size(run.sampftval), size(run.ct), size(run.bgarr);
    size(run.ampname), size(run.sampmeaneff);
    for (auto* f : {&run.noamplif, &run.bgerror, &run.noplateau, &run.noisy, &run.effoutlier,
                    &run.exclmeaneff, &run.userexcluded, &run.manualbg, &run.shortloglin,
                    &run.ctshifting, &run.cttoloweff, &run.cttolown0, &run.usedforwol})
        size(*f);
    for (int k = 1; k <= n; ++k) {
        run.sampname[k] = "s" + std::to_string(k);
        run.lowlim[k] = -1.0, run.uplim[k] = 0.0, run.ninclu[k] = 4 + k;
        run.indivn0[k] = 1e-6 * k, run.indiveff[k] = 1.9, run.rval[k] = 0.5;
        run.sampftval[k] = -1.0, run.ct[k] = 20.0 + k, run.bgarr[k] = 0.25;
        run.ampname[k] = "amp" + std::to_string(k), run.sampmeaneff[k] = 2.0;
    }
    run.inputsheetname = "plate1";
    return run;
}

QString textAt(const TCellBlock& cells, int row, int col) { return cells[row - 1][col - 1].text; }
const V& at(const TCellBlock& cells, int row, int col) { return cells[row - 1][col - 1]; }

TEST(ResultSheets, codes_flags_give_the_slots_of_each_string) {
    TRunState run = makeRun(5);
    run.usedforwol[1] = 1;  // sample 1: used, in the mean, N0 reported, no flag
    run.noamplif[2] = 1;    // no amplification, not excluded from the mean: "1" and "8"
    run.exclmeaneff[3] = 1, run.bgerror[3] = 1, run.manualbg[3] = 1;  // manual baseline keeps N0
    run.effoutlier[4] = 1, run.noplateau[4] = 1, run.exclmeaneff[4] = 1;
    run.shortloglin[5] = 1, run.ctshifting[5] = 1, run.cttoloweff[5] = 1, run.cttolown0[5] = 1;
    TSampleCodes codes = BuildSampleCodes(run);
    EXPECT_EQ(codes.sampleuse[1], "1 2 3");
    EXPECT_EQ(codes.qualitychecks[1], "0 - - - - - - - - - - - - -");
    EXPECT_EQ(codes.sampleuse[2], "0 2 0");
    EXPECT_EQ(codes.qualitychecks[2], "- 1 - - - - - - 8 - - - - -");
    EXPECT_EQ(codes.sampleuse[3], "0 0 3");
    EXPECT_EQ(codes.qualitychecks[3], "- - 2 - - - 6 - - 9 - - - -");
    EXPECT_EQ(codes.sampleuse[4], "0 0 0");
    EXPECT_EQ(codes.qualitychecks[4], "- - - 3 - 5 6 - - - - - - -");
    EXPECT_EQ(std::vector<int>(codes.non0.begin() + 1, codes.non0.end()),
              (std::vector<int>{0, 1, 0, 1, 0}));
    // L, S only in scratch or expert mode; A, B only with the chemistry's rules and a Cq.
    EXPECT_EQ(codes.qualitychecks[5], "0 - - - - - - - - - - - - -");
    run.expertmode = true, run.cqcorrneeded = true;
    EXPECT_EQ(BuildSampleCodes(run).qualitychecks[5], "- - - - - - - - - - L S A B");
    run.ct[5] = 0;
    EXPECT_EQ(BuildSampleCodes(run).qualitychecks[5], "- - - - - - - - - - L S - -");
}

TEST(ResultSheets, columns_numbered_by_choice_and_annotation_width) {
    std::array<bool, kOutputColumnCount> ticked{};
    const auto all = OutputColumnNumbers(kComplete, ticked, 1);
    EXPECT_EQ(all[kItemTargetSeq], 0);
    EXPECT_EQ(all[kItemMeanEff], 13);
    EXPECT_EQ(all[kItemLegend], 18);
    EXPECT_EQ(OutputColumnNumbers(kCompactAndComplete, ticked, 3)[kItemLegend], 20);
    EXPECT_EQ(OutputColumnNumbers(kCompact, ticked, 1), (std::array<int, kOutputColumnCount>{}));
    ticked[kItemName] = ticked[kItemTargetSeq] = ticked[kItemAnnotations] = ticked[kItemCq] = true;
    const auto user = OutputColumnNumbers(kUserDefined, ticked, 2);
    EXPECT_EQ(user[kItemName], 1);
    EXPECT_EQ(user[kItemCq], 2);
    EXPECT_EQ(user[kItemTargetSeq], 3);
    EXPECT_EQ(user[kItemAnnotations], 4);
    EXPECT_EQ(user[kItemSample], 0);
    EXPECT_EQ(AnnotationColumnCount({}), 1);
    EXPECT_EQ(AnnotationColumnCount({{"sample name", "tissue", "dose", "ID"}}), 2);
}

TEST(ResultSheets, complete_titles_values_and_formats) {
    TRunState run = makeRun(2);
    run.chemistry = 3;  // hybridization probe: reported one cycle earlier
    TEngineOptions options;
    TSaveChoices choices;
    choices.outputchoice = kComplete;
    choices.targetname = "GAPDH";
    const auto sheets = BuildResultSheets(run, options, choices, BuildSampleCodes(run));
    ASSERT_EQ(sheets.size(), 1u);
    const TResultSheet& s = sheets[0];
    EXPECT_EQ(s.suffix, "_output");
    EXPECT_EQ(s.columns, 18);
    EXPECT_EQ(s.Rows(), 45);
    EXPECT_EQ(s.formatrows, 6);
    const QStringList titles{
        "sample",        "name", "lower_limit",   "upper_limit", "n_included",     "N0_(indiv_eff)",
        "indiv PCR eff", "R2",   "threshold",     "Cq",          "Baseline",       "Amplicon",
        "mean_PCR_eff",  "",     "N0_(mean eff)", "Sample_Use",  "Quality_checks", ""};
    for (int c = 1; c <= 17; ++c) EXPECT_EQ(textAt(s.cells, 4, c), titles[c - 1]) << c;
    EXPECT_EQ(at(s.cells, 6, 1), V::Number(2));
    EXPECT_EQ(at(s.cells, 6, 2), V::Text("s2"));
    EXPECT_DOUBLE_EQ(at(s.cells, 6, 3).number, 0.1);
    EXPECT_DOUBLE_EQ(at(s.cells, 6, 4).number, 1.0);
    EXPECT_EQ(at(s.cells, 6, 5), V::Number(6));
    EXPECT_DOUBLE_EQ(at(s.cells, 6, 6).number, 2e-6);
    EXPECT_DOUBLE_EQ(at(s.cells, 6, 8).number, 0.25);
    EXPECT_DOUBLE_EQ(at(s.cells, 6, 9).number, 0.1);
    EXPECT_DOUBLE_EQ(at(s.cells, 6, 10).number, 21.0);  // 22 - 1 with N0 written beside it
    EXPECT_EQ(at(s.cells, 6, 12), V::Text("GAPDH"));    // one group: the target's name
    EXPECT_DOUBLE_EQ(at(s.cells, 6, 15).number, 0.1 / std::pow(2.0, 21.0));
    EXPECT_EQ(at(s.cells, 6, 16), V::Text("0 2 3"));
    EXPECT_EQ(at(s.cells, 7, 1), V::Empty());
    // Legend in column 18, N0 header over column 15, chemistry over column 10.
    EXPECT_EQ(textAt(s.cells, 1, 1) + textAt(s.cells, 1, 2),
              "Analysis of Real Time PCR data version:2021.2");
    EXPECT_EQ(textAt(s.cells, 3, 2), "points in WoL: 4");
    EXPECT_EQ(textAt(s.cells, 3, 3), "Threshold: common");
    EXPECT_EQ(textAt(s.cells, 1, 18), "LEGEND");
    EXPECT_EQ(textAt(s.cells, 1, 15), "N0 = threshold /(Eff_mean^Cq)");
    EXPECT_EQ(textAt(s.cells, 1, 10), "Chemistry: hybridization probe");
    EXPECT_EQ(textAt(s.cells, 2, 10), "Input: ss-cDNA");
    EXPECT_EQ(s.formats, (std::vector<TColumnFormat>{{1, "int0"},
                                                     {6, "sci2"},
                                                     {15, "sci2"},
                                                     {5, "int0"},
                                                     {12, "int0"},
                                                     {14, "int0"},
                                                     {14, "left"}}));
    EXPECT_EQ(s.autofitfirst, 16);
    EXPECT_EQ(s.autofitlast, 17);
    EXPECT_EQ(s.centercolumns, std::vector<int>{16});
}

TEST(ResultSheets, user_defined_narrow_sheet_keeps_three_columns_and_plain_cq) {
    TRunState run = makeRun(1);
    run.chemistry = 3;
    TSaveChoices choices;
    choices.outputchoice = kUserDefined;
    choices.ticked[kItemTargetSeq] = true;
    TResultSheet s = BuildResultSheets(run, {}, choices, BuildSampleCodes(run))[0];
    EXPECT_EQ(s.columns, 1);
    ASSERT_EQ(s.cells[0].size(), 3u);  // room for the header's columns 2 and 3
    EXPECT_EQ(textAt(s.cells, 4, 1), "Target_Seq");
    EXPECT_EQ(at(s.cells, 5, 1), V::Empty());
    EXPECT_EQ(at(s.cells, 1, 1), V::Empty());  // no legend chosen: no header
    EXPECT_TRUE(s.formats.empty());
    EXPECT_EQ(s.autofitfirst, 0);

    choices.ticked = {};
    choices.ticked[kItemCq] = choices.ticked[kItemLegend] = true;
    s = BuildResultSheets(run, {}, choices, BuildSampleCodes(run))[0];
    EXPECT_EQ(at(s.cells, 5, 1), V::Number(21.0));  // no N0 column: Cq as in memory
    EXPECT_EQ(textAt(s.cells, 1, 1), "Chemistry: hybridization probe");  // Cq column is 1
    EXPECT_EQ(textAt(s.cells, 1, 2), "LEGEND");
    EXPECT_EQ(textAt(s.cells, 1, 3), "WoL: common");
    EXPECT_EQ(s.columns, 3);  // the written range holds the header's third column
}

TEST(ResultSheets, compact_columns_with_groups_annotations_and_chemistry_six) {
    TRunState run = makeRun(2);
    run.groupsdefined = run.tissuesdefined = true;
    run.ngroups = 2;
    run.chemistry = 6;
    run.sampmeaneff[1] = 1.9;
    run.sampmeaneff[2] = 1.0005;  // not above 1.001: N0 -999
    run.ct[2] = 0;
    TSaveChoices choices;
    choices.tissuegrid = {{"sample name", "tissue", "dose", "ID"},
                          {"s1", "liver", "5", "1"},
                          {"s2", "lung", "7", "2"}};
    choices.outputchoice = kCompactAndComplete;
    const auto both = BuildResultSheets(run, {}, choices, BuildSampleCodes(run));
    EXPECT_EQ(both[0].columns, 19);  // two annotation columns on the complete sheet
    const TResultSheet& s = both[1];
    EXPECT_EQ(s.suffix, "_compact");
    EXPECT_EQ(s.formatrows, 6);
    EXPECT_EQ(s.columns, 13);  // m = 3
    const QStringList titles{"name", "indiv_PCR_eff", "Amplicon",       "tissue",
                             "dose", "threshold",     "mean_PCR_eff",   "Cq",
                             "N0",   "Sample_Use",    "Quality_checks", ""};
    for (int c = 1; c <= 11; ++c) EXPECT_EQ(textAt(s.cells, 4, c), titles[c - 1]) << c;
    EXPECT_EQ(at(s.cells, 5, 3), V::Text("amp1"));
    EXPECT_EQ(at(s.cells, 6, 5), V::Text("7"));
    const double corr = -1 + std::log(1.9 / 0.9) / std::log(1.9);
    EXPECT_NEAR(corr, 0.1642, 1e-4);
    EXPECT_DOUBLE_EQ(at(s.cells, 5, 8).number, 21.0 + corr);
    EXPECT_DOUBLE_EQ(at(s.cells, 5, 9).number, 0.1 / std::pow(1.9, 21.0 + corr));
    EXPECT_EQ(at(s.cells, 6, 8), V::Number(0.0));  // no Cq: no correction
    EXPECT_EQ(at(s.cells, 6, 9), V::Number(-999));
    EXPECT_EQ(textAt(s.cells, 1, 12), "LEGEND");
    EXPECT_EQ(textAt(s.cells, 1, 8), "Chemistry: DNA-zyme probe");
    EXPECT_EQ(s.formats,
              (std::vector<TColumnFormat>{{9, "sci2"}, {3, "int0"}, {4, "int0"}, {4, "left"}}));
    EXPECT_EQ(s.autofitlast, 12);
    EXPECT_EQ(s.centercolumns, (std::vector<int>{10, 11}));
}

TEST(ResultSheets, non0_sample_gets_minus_999_and_both_sheets_in_order) {
    TRunState run = makeRun(1);
    run.userexcluded[1] = 1;
    TSaveChoices choices;  // Compact + Complete
    const auto sheets = BuildResultSheets(run, {}, choices, BuildSampleCodes(run));
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].suffix, "_output");
    EXPECT_EQ(sheets[1].suffix, "_compact");
    EXPECT_EQ(at(sheets[0].cells, 5, 15), V::Number(-999));
    EXPECT_EQ(at(sheets[1].cells, 5, 6), V::Number(-999));
    EXPECT_EQ(sheets[1].columns, 10);
}

// The legend's rows for each mode: the last row is 41 at most, and it fits in 45 rows.
TEST(ResultSheets, legend_rows_follow_modes_and_end_by_row_41) {
    struct Case {
        bool expert, corr;
        int lastRow;
        const char* lastText;
    };
    for (const Case& c : {Case{false, false, 30,
                               "  log-linear phase criterion: strictly "
                               "continuous Log-linear phase"},
                          Case{true, true, 41, "  large Cq-shift defined as: >5% baseline error"},
                          Case{false, true, 37,
                               "  log-linear phase criterion: strictly "
                               "continuous Log-linear phase"}}) {
        TRunState run = makeRun(10);
        run.expertmode = c.expert, run.cqcorrneeded = c.corr;
        TEngineOptions options;
        options.IncluPercEdit = 7.0;
        TCellBlock cells(SheetRowCount(run), std::vector<V>(4));
        WriteHeaderAndLegend(cells, run, options, "07/12/2026", 0, 0, 4);
        EXPECT_EQ(cells.size(), 45u);
        EXPECT_EQ(textAt(cells, c.lastRow, 4), c.lastText) << c.lastRow;
        for (int r = c.lastRow + 1; r <= 45; ++r) EXPECT_EQ(at(cells, r, 4), V::Empty()) << r;
        EXPECT_EQ(textAt(cells, 15, 4), "5: PCR efficiency outside 7%");
        EXPECT_EQ(textAt(cells, 19, 4), "9: manual baseline");
        EXPECT_EQ(textAt(cells, c.lastRow - (c.expert ? 3 : 1), 4),
                  c.expert ? "Baseline Estimation and Noise Handling:" : "Baseline Estimation:");
        EXPECT_EQ(textAt(cells, 2, 1), "analysis date:07/12/2026");
        EXPECT_EQ(textAt(cells, 3, 1), "Input Sheet: plate1");
    }
    TRunState run = makeRun(1);
    run.cqcorrneeded = true;
    TEngineOptions options;
    options.ExcludeTooLowCqCB = false, options.AcceptErrorEffRG = 0;
    options.CommonGroupWindowRG = 2, options.rg_fitoptions = 1;
    TCellBlock cells(45, std::vector<V>(3));
    WriteHeaderAndLegend(cells, run, options, "", 0, 0, 3);
    EXPECT_EQ(textAt(cells, 23, 3), "for cumulative fluorescence only");
    EXPECT_EQ(textAt(cells, 27, 3), "User Choices:");
    EXPECT_EQ(textAt(cells, 31, 3), "include <Cq too low> samples");
    EXPECT_EQ(textAt(cells, 32, 3), "  Cq too low defined as error in PCR efficiency > 0.01");
    EXPECT_EQ(textAt(cells, 33, 3), "  Cq too low defined as bias in N0 > 1%");
    EXPECT_EQ(textAt(cells, 34, 3), "exclude <efficiency outlier> samples");
    EXPECT_EQ(textAt(cells, 3, 2), "fit option 2: n between 4 and 6 and best R");
    EXPECT_EQ(textAt(cells, 1, 3), "LEGEND");  // the legend column wins over the header
}

TEST(ResultSheets, sheet_names_cut_count_and_stay_within_31_characters) {
    const QString base = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";  // 32 characters
    EXPECT_EQ(OutputSheetName(base, "_output", {}), "ABCDEFGHIJKLMNOPQRSTUVW_output");
    QStringList taken{"abcdefghijklmnopqrstuvw_output", "ABCDEFGHIJKLMNOPQRSTU_1_output"};
    EXPECT_EQ(OutputSheetName(base, "_output", taken), "ABCDEFGHIJKLMNOPQRSTU_2_output");
    for (int k = 1; k <= 9; ++k) taken << QStringLiteral("ABCDEFGHIJKLMNOPQRSTU_%1_compact").arg(k);
    taken << "ABCDEFGHIJKLMNOPQRSTUVW_compact";
    const QString tenth = OutputSheetName(base, "_compact", taken);
    EXPECT_EQ(tenth, "ABCDEFGHIJKLMNOPQRST_10_compact");
    EXPECT_EQ(tenth.size(), kMaxSheetNameLength);
    EXPECT_EQ(OutputSheetName("run", "_compact", {"Sheet1"}), "run_compact");

    TRunState run;
    run.inputsheetname = base.toStdString();
    EXPECT_EQ(DefaultSheetBase(run), base.left(23));
}

}  // namespace
}  // namespace qurvex
