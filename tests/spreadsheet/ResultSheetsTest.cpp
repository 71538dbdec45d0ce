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

// The cells of row r in the given columns (from 1), joined by '|': texts as they are, numbers
// as '=' and 12 digits, so that a number never passes for a text.
QString cells(const TCellBlock& block, int r, std::initializer_list<int> columns) {
    QStringList out;
    for (int c : columns) {
        const V& v = block[r - 1][c - 1];
        out << (v.kind == V::Kind::Number ? "=" + QString::number(v.number, 'g', 12) : v.text);
    }
    return out.join('|');
}
QString text(const TCellBlock& block, int r, int c) { return block[r - 1][c - 1].text; }

TEST(ResultSheets, codes_flags_give_the_slots_of_each_string) {
    TRunState run = makeRun(5);
    run.usedforwol[1] = 1;  // sample 1: used, in the mean, N0 reported, no flag
    run.noamplif[2] = 1;    // no amplification, not excluded from the mean: "1" and "8"
    run.exclmeaneff[3] = 1, run.bgerror[3] = 1, run.manualbg[3] = 1;  // manual baseline keeps N0
    run.effoutlier[4] = 1, run.noplateau[4] = 1, run.exclmeaneff[4] = 1;
    run.shortloglin[5] = 1, run.ctshifting[5] = 1, run.cttoloweff[5] = 1, run.cttolown0[5] = 1;
    const auto all = [](const TSampleCodes& c) {
        std::string s;
        for (std::size_t k = 1; k < c.sampleuse.size(); ++k)
            s += c.sampleuse[k] + " / " + c.qualitychecks[k] + " / " + std::to_string(c.non0[k]) +
                 "\n";
        return s;
    };
    // L, S only in scratch or expert mode; A, B only with the chemistry's rules and a Cq.
    std::string expected =
        "1 2 3 / 0 - - - - - - - - - - - - - / 0\n0 2 0 / - 1 - - - - - - 8 - - - - - / 1\n"
        "0 0 3 / - - 2 - - - 6 - - 9 - - - - / 0\n0 0 0 / - - - 3 - 5 6 - - - - - - - / 1\n";
    EXPECT_EQ(all(BuildSampleCodes(run)), expected + "0 2 3 / 0 - - - - - - - - - - - - - / 0\n");
    run.expertmode = true, run.cqcorrneeded = true;
    EXPECT_EQ(BuildSampleCodes(run).qualitychecks[5], "- - - - - - - - - - L S A B");
    run.ct[5] = 0;
    EXPECT_EQ(BuildSampleCodes(run).qualitychecks[5], "- - - - - - - - - - L S - -");
}

TEST(ResultSheets, columns_numbered_by_choice_and_annotation_width) {
    std::array<bool, kOutputColumnCount> ticked{};
    const auto all = OutputColumnNumbers(kComplete, ticked, 1);
    EXPECT_EQ(std::tuple(all[kItemTargetSeq], all[kItemMeanEff], all[kItemLegend]),
              std::tuple(0, 13, 18));
    EXPECT_EQ(OutputColumnNumbers(kCompactAndComplete, ticked, 3)[kItemLegend], 20);
    EXPECT_EQ(OutputColumnNumbers(kCompact, ticked, 1), (std::array<int, kOutputColumnCount>{}));
    ticked[kItemName] = ticked[kItemTargetSeq] = ticked[kItemAnnotations] = ticked[kItemCq] = true;
    const auto u = OutputColumnNumbers(kUserDefined, ticked, 2);
    EXPECT_EQ((std::array{u[kItemName], u[kItemCq], u[kItemTargetSeq], u[kItemAnnotations],
                          u[kItemSample]}),
              (std::array{1, 2, 3, 4, 0}));
    EXPECT_EQ(AnnotationColumnCount({}), 1);
    EXPECT_EQ(AnnotationColumnCount({{"sample name", "tissue", "dose", "ID"}}), 2);
}

TEST(ResultSheets, complete_titles_values_and_formats) {
    TRunState run = makeRun(2);
    run.chemistry = 3;  // hybridization probe: reported one cycle earlier
    TSaveChoices choices;
    choices.outputchoice = kComplete;
    choices.targetname = "GAPDH";
    const auto sheets = BuildResultSheets(run, {}, choices, BuildSampleCodes(run));
    ASSERT_EQ(sheets.size(), 1u);
    const TResultSheet& s = sheets[0];
    EXPECT_EQ(s.suffix, "_output");
    EXPECT_EQ(std::tuple(s.columns, s.Rows(), s.formatrows), std::tuple(18, 45, 6));
    EXPECT_EQ(cells(s.cells, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17}),
              "sample|name|lower_limit|upper_limit|n_included|N0_(indiv_eff)|indiv PCR eff|R2|"
              "threshold|Cq|Baseline|Amplicon|mean_PCR_eff||N0_(mean eff)|Sample_Use|"
              "Quality_checks");
    // Cq 22 - 1 with N0 written beside it; one group: the target's name.
    EXPECT_EQ(cells(s.cells, 6, {1, 2, 3, 4, 5, 6, 8, 9, 10, 12, 15, 16}),
              "=2|s2|=0.1|=1|=6|=2e-06|=0.25|=0.1|=21|GAPDH|=" +
                  QString::number(0.1 / std::pow(2.0, 21.0), 'g', 12) + "|0 2 3");
    EXPECT_EQ(s.cells[6][0], V::Empty());
    // Legend in column 18, N0 header over column 15, chemistry over column 10.
    EXPECT_EQ(text(s.cells, 1, 1) + text(s.cells, 1, 2),
              "Analysis of Real Time PCR data version:2021.2");
    EXPECT_EQ(cells(s.cells, 1, {18, 15, 10}) + cells(s.cells, 2, {10}),
              "LEGEND|N0 = threshold /(Eff_mean^Cq)|Chemistry: hybridization probeInput: ss-cDNA");
    EXPECT_EQ(cells(s.cells, 3, {2, 3}), "points in WoL: 4|Threshold: common");
    EXPECT_EQ(s.formats, (std::vector<TColumnFormat>{{1, "int0"},
                                                     {6, "sci2"},
                                                     {15, "sci2"},
                                                     {5, "int0"},
                                                     {12, "int0"},
                                                     {14, "int0"},
                                                     {14, "left"}}));
    EXPECT_EQ(std::pair(s.autofitfirst, s.autofitlast), std::pair(16, 17));
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
    // No legend chosen: no header.
    EXPECT_EQ(cells(s.cells, 4, {1}) + cells(s.cells, 5, {1}) + cells(s.cells, 1, {1}),
              "Target_Seq");
    EXPECT_EQ(s.cells[0][0], V::Empty());
    EXPECT_TRUE(s.formats.empty());
    EXPECT_EQ(std::pair(s.autofitfirst, s.autofitlast), std::pair(0, 0));
    choices.ticked = {};
    choices.ticked[kItemCq] = choices.ticked[kItemLegend] = true;
    s = BuildResultSheets(run, {}, choices, BuildSampleCodes(run))[0];
    // No N0 column: Cq as in memory; the Cq column is 1; the written range holds column 3.
    EXPECT_EQ(cells(s.cells, 5, {1}) + "|" + cells(s.cells, 1, {1, 2, 3}),
              "=21|Chemistry: hybridization probe|LEGEND|WoL: common");
    EXPECT_EQ(s.columns, 3);
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
    EXPECT_EQ(std::pair(s.formatrows, s.columns), std::pair(6, 13));  // m = 3
    EXPECT_EQ(cells(s.cells, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}),
              "name|indiv_PCR_eff|Amplicon|tissue|dose|threshold|mean_PCR_eff|Cq|N0|Sample_Use|"
              "Quality_checks");
    const double cq = 21.0 - 1 + std::log(1.9 / 0.9) / std::log(1.9);  // Cq + 0.1642
    EXPECT_EQ(cells(s.cells, 5, {2, 3, 8, 9}),
              "=1.9|amp1|=" + QString::number(cq, 'g', 12) +
                  "|=" + QString::number(0.1 / std::pow(1.9, cq), 'g', 12));
    EXPECT_EQ(cells(s.cells, 6, {5, 8, 9}), "7|=0|=-999");  // no Cq: no correction
    EXPECT_EQ(cells(s.cells, 1, {12, 8}), "LEGEND|Chemistry: DNA-zyme probe");
    EXPECT_EQ(s.formats,
              (std::vector<TColumnFormat>{{9, "sci2"}, {3, "int0"}, {4, "int0"}, {4, "left"}}));
    EXPECT_EQ(s.autofitlast, 12);
    EXPECT_EQ(s.centercolumns, (std::vector<int>{10, 11}));
    // An excluded sample gets -999 for N0 on both sheets, the complete one first.
    run = makeRun(1);
    run.userexcluded[1] = 1;
    const auto sheets = BuildResultSheets(run, {}, TSaveChoices{}, BuildSampleCodes(run));
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].suffix + sheets[1].suffix, "_output_compact");
    EXPECT_EQ(cells(sheets[0].cells, 5, {15}) + cells(sheets[1].cells, 5, {6}), "=-999=-999");
    EXPECT_EQ(sheets[1].columns, 10);
}

// The legend's rows for each mode: the last row is 41 at most, and it fits in 45 rows.
TEST(ResultSheets, legend_rows_follow_modes_and_end_by_row_41) {
    const char* strict = "  log-linear phase criterion: strictly continuous Log-linear phase";
    for (auto [expert, corr, last, lastText] :
         {std::tuple{false, false, 30, strict},
          {true, true, 41, "  large Cq-shift defined as: >5% baseline error"},
          {false, true, 37, strict}}) {
        TRunState run = makeRun(10);
        run.expertmode = expert, run.cqcorrneeded = corr;
        TEngineOptions options;
        options.IncluPercEdit = 7.0;
        TCellBlock block(SheetRowCount(run), std::vector<V>(4));
        WriteHeaderAndLegend(block, run, options, "07/12/2026", 0, 0, 4);
        EXPECT_EQ(block.size(), 45u);
        EXPECT_EQ(text(block, last, 4), lastText) << last;
        for (int r = last + 1; r <= 45; ++r) EXPECT_EQ(block[r - 1][3], V::Empty()) << r;
        EXPECT_EQ(cells(block, 15, {4}) + "|" + cells(block, 19, {4}) + "|" +
                      cells(block, last - (expert ? 3 : 1), {4}) + "|" + cells(block, 2, {1}) +
                      "|" + cells(block, 3, {1}),
                  "5: PCR efficiency outside 7%|9: manual baseline|" +
                      QString(expert ? "Baseline Estimation and Noise Handling:"
                                     : "Baseline Estimation:") +
                      "|analysis date:07/12/2026|Input Sheet: plate1");
    }
    TRunState run = makeRun(1);
    run.cqcorrneeded = true;
    TEngineOptions options;
    options.ExcludeTooLowCqCB = false, options.AcceptErrorEffRG = 0;
    options.CommonGroupWindowRG = 2, options.rg_fitoptions = 1;
    TCellBlock block(45, std::vector<V>(3));
    WriteHeaderAndLegend(block, run, options, "", 0, 0, 3);
    for (auto [r, c, t] : {std::tuple{23, 3, "for cumulative fluorescence only"},
                           {27, 3, "User Choices:"},
                           {31, 3, "include <Cq too low> samples"},
                           {32, 3, "  Cq too low defined as error in PCR efficiency > 0.01"},
                           {33, 3, "  Cq too low defined as bias in N0 > 1%"},
                           {34, 3, "exclude <efficiency outlier> samples"},
                           {3, 2, "fit option 2: n between 4 and 6 and best R"},
                           {1, 3, "LEGEND"}})  // the legend column wins over the header
        EXPECT_EQ(text(block, r, c), t) << r;
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
