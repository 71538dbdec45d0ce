// SPDX-License-Identifier: GPL-3.0-or-later
// The cut of a block into a run, for every layout, without an office: samples, names, cycles,
// points, lifts, notices, and the exact refusals of blocks that do not fit.
#include <gtest/gtest.h>

#include <QStringList>
#include <deque>
#include <string>
#include <tuple>
#include <vector>

#include "spreadsheet/InstrumentLayouts.h"
#include "tests/spreadsheet/LayoutCases.h"

// Messages print as text in failures.
void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

using namespace qurvex;
using namespace qurvex::test;

namespace {

struct TScript : TImportAsker {
    std::deque<QString> answers;  // none left: the user cancels (the default comes back)
    QStringList asked;            // the captions, in order
    QString InputBox(const QString& caption, const QString&, const QString& def) override {
        asked << caption;
        if (answers.empty()) return def;
        QString a = answers.front();
        answers.pop_front();
        return a;
    }
    bool AskYesNo(const QString&, const QString&) override { return true; }
};

TexcelreadQVX Record(int layout, bool baselinecorrected = false) {
    TexcelreadQVX r;
    r.filetype = layout;
    r.book = QStringLiteral("run.xlsx");
    r.sheet = QStringLiteral("Amplification Data");
    r.startcol = 2;  // the block starts at B3
    r.startrow = 3;
    r.baselinecorrected = baselinecorrected;
    r.chemistry = 3;
    r.substrate = 2;
    return r;
}

TLayoutCut Cut(int layout, const char* block, std::deque<QString> answers = {},
               bool baselinecorrected = false) {
    TScript s;
    s.answers = std::move(answers);
    return CutInstrumentLayout(B(block), Record(layout, baselinecorrected), s);
}

std::vector<double> Points(const doublearray& m, const TRunInput& run, int k) {
    const auto& row = m[static_cast<std::size_t>(k)];
    return {row.begin() + 1, row.begin() + 1 + run.npoints[static_cast<std::size_t>(k)]};
}
std::vector<std::string> Names(const TRunInput& run) {
    return {run.sampname.begin() + 1, run.sampname.end()};
}

TEST(InstrumentLayouts, layouts_cutEachArrangement_samplesNamesCyclesPoints) {
    for (const auto& c : LayoutCases()) {
        SCOPED_TRACE("layout " + std::to_string(c.layout));
        const TLayoutCut cut = Cut(c.layout, c.block, c.answers);
        ASSERT_TRUE(cut.ok) << cut.refusal.text.toStdString();
        const TRunInput& run = cut.run;
        EXPECT_EQ(run.sizeerror(), "");
        EXPECT_EQ(Names(run), L<std::string>(c.names));
        EXPECT_EQ(run.ncycles, c.ncycles);
        EXPECT_EQ(std::vector<int>(run.npoints.begin() + 1, run.npoints.end()), L<int>(c.npoints));
        EXPECT_EQ(Points(run.rawcyc, run, 1), L<double>(c.cyc1));
        EXPECT_EQ(Points(run.rawfluor, run, run.nsamples), L<double>(c.fluorLast));
        EXPECT_EQ(run.expid + "/" + run.runid + "/" + run.inputsheetname,
                  "run.xlsx/Amplification Data/Amplification Data");
        EXPECT_EQ(run.chemistry * 10 + run.inputtype, 32);
        EXPECT_TRUE(cut.notices.empty());
    }
}

TEST(InstrumentLayouts, aliases_sameBlock_identicalRuns) {
    const auto block = [](int layout) {
        for (const auto& c : LayoutCases())
            if (c.layout == layout) return c.block;
        return "";
    };
    for (auto [alias, layout] : {std::pair{4, 1}, {12, 2}, {10, 9}, {13, 9}, {19, 18}}) {
        SCOPED_TRACE("alias " + std::to_string(alias));
        const TLayoutCut a = Cut(alias, block(layout)), b = Cut(layout, block(layout));
        ASSERT_TRUE(a.ok && b.ok);
        const auto fields = [](const TRunInput& r) {
            return std::tie(r.sampname, r.rawfluor, r.rawcyc, r.npoints, r.headercyc);
        };
        EXPECT_TRUE(fields(a.run) == fields(b.run));
    }
    EXPECT_EQ(EffectiveLayout(22), -1);
}

TEST(InstrumentLayouts, tail_liftNoPositiveTrimAndCycleHeader) {
    // Lifting (13 only): the minimum -0.0345 becomes 0.001; a row without negatives stays.
    const char* negative = "a|b|c|d|e|f|1|2;A1||||||-0.0345|0.5;A2||||||0.2|0.3";
    TLayoutCut cut = Cut(13, negative);
    ASSERT_TRUE(cut.ok);
    EXPECT_NEAR(cut.run.rawfluor[1][1], 0.001, 1e-12);
    EXPECT_NEAR(cut.run.rawfluor[1][2], 0.5355, 1e-12);
    EXPECT_EQ(cut.run.rawfluor[2][1], 0.2);
    EXPECT_EQ(Cut(9, negative).run.rawfluor[1][1], -0.0345);

    // Layout 9 refuses samples without a positive value; the list ends in ", ".
    const char* nopositive = "a|b|c|d|e|f|1|2;A1||||||0|-1;x||||||1|2;B2||||||-3|0";
    EXPECT_EQ(Cut(9, nopositive).refusal,
              (TImportNotice{TNoticeKind::Warning,
                             "Some samples (A1_____, B2_____, ) have no positive values: please "
                             "remove them from the input"}));
    EXPECT_TRUE(Cut(13, nopositive).ok);  // lifted, so not refused

    // Trailing values below 1e-7 go (1e-7 itself stays); the cycle header comes from the
    // sample with the most points before the trim, the first on a tie.
    cut = Cut(20, "Cycle|A|B|C;11|5|1e-8|1;12|6|0|2;13|0|0|0;14|0|0|1e-7");
    EXPECT_EQ(cut.run.npoints, (std::vector<int>{0, 2, 0, 4}));
    EXPECT_EQ(cut.run.headercyc, (std::vector<double>{0, 11, 12, 13, 14}));
    cut = Cut(0, "a||b|;|||;1|0|5|3;2|4|6|3");
    EXPECT_EQ(cut.run.npoints, (std::vector<int>{0, 0, 2}));
    EXPECT_EQ(cut.run.headercyc, (std::vector<double>{0, 5, 6}));
    EXPECT_EQ(Cut(0, "a||b|;|||;1|1|5|3;2|4|6|3").run.headercyc,  // a tie: the first sample
              (std::vector<double>{0, 1, 2}));
}

TEST(InstrumentLayouts, numbers_strictTextConversion_commaAcceptedWordsRefused) {
    const TLayoutCut comma = Cut(20, "Cycle|A;'1|' 2,5 ;2|'3,25");
    ASSERT_TRUE(comma.ok);
    EXPECT_EQ(Points(comma.run.rawfluor, comma.run, 1), (std::vector<double>{2.5, 3.25}));
    EXPECT_EQ(Points(comma.run.rawcyc, comma.run, 1), (std::vector<double>{1, 2}));
    EXPECT_EQ(Cut(20, "Cycle|A;1|12 liver;2|3").refusal.text,
              "Cell C4 holds \"12 liver\", which is not a number (layout \"Mic\").");
    EXPECT_EQ(Cut(1, "||1;A1|x|#DIV/0!").refusal.text,
              "Cell D4 holds \"#DIV/0!\", which is not a number (layout \"Applied Biosystems\").");
    EXPECT_EQ(Cut(3, "|;|#N/A;1|2").refusal.text,
              "Cell C4 holds the error #N/A, where the layout \"Bio -Rad iCycler\" needs a text.");
}

// Text numbers: no letter but the exponent's, one notation per block (the document's, or all
// decimal commas), never grouped thousands; number cells whatever the notation.
TEST(InstrumentLayouts, notation_oneNotationPerBlock_lettersGroupsAndMixesRefused) {
    const auto cutIn = [](QChar separator, const char* block) {
        TScript none;
        return CutInstrumentLayout(B(block), Record(20), none, separator);
    };
    const QChar point = QLatin1Char('.'), comma = QLatin1Char(',');
    // Texts with letters are names, never numbers.
    TLayoutCut cut = cutIn(point, "Cycle|S1|1S5|12 liver;1|0.5|2|3;2|'0.5|'2|'3");
    ASSERT_TRUE(cut.ok) << cut.refusal.text.toStdString();
    EXPECT_EQ(Names(cut.run), (std::vector<std::string>{"S1", "1S5", "12_liver"}));
    for (const char* word : {"S1", "1S5", "1e5x", "0x1F", "1,234.5", "1.234,5", "1,234,567"})
        EXPECT_EQ(cutIn(point, QStringLiteral("Cycle|A;1|'%1").arg(word).toUtf8()).refusal.text,
                  QStringLiteral("Cell C4 holds \"%1\", which is not a number (layout \"Mic\").")
                      .arg(word));
    // A decimal comma among decimal points in a point document: refused naming its cell.
    const QString tail = QStringLiteral(
        ". Please write every number of the block with the same decimal separator and without "
        "thousands separators.");
    EXPECT_EQ(cutIn(point, "Cycle|A|B;1|'0.5|7;2|'1,234|8").refusal,
              (TImportNotice{TNoticeKind::Warning,
                             "Cell C5 holds \"1,234\", written with a decimal comma, while the "
                             "numbers of this block are read with a decimal point (layout "
                             "\"Mic\")" +
                                 tail}));
    // The first misfit counts rows first, though the layout reads column by column.
    EXPECT_TRUE(cutIn(point, "Cycle|A|B;1|'0.5|'1,5;2|'1,5|'0.5")
                    .refusal.text.startsWith(QStringLiteral("Cell D4 holds \"1,5\"")));
    // All decimal commas in a point document: read as commas; integers fit either notation.
    cut = cutIn(point, "Cycle|A|B;'1|'1,234|7;2|' 2,5E1 |'-3");
    ASSERT_TRUE(cut.ok) << cut.refusal.text.toStdString();
    EXPECT_EQ(Points(cut.run.rawfluor, cut.run, 1), (std::vector<double>{1.234, 25}));
    EXPECT_EQ(cut.run.rawfluor[2][2], -3);
    // A comma document reads commas, keeps number cells, and refuses decimal points.
    cut = cutIn(comma, "Cycle|A;1|'0,5;2|1.5");
    ASSERT_TRUE(cut.ok);
    EXPECT_EQ(Points(cut.run.rawfluor, cut.run, 1), (std::vector<double>{0.5, 1.5}));
    EXPECT_EQ(cutIn(comma, "Cycle|A;1|'1.5;2|3").refusal.text,
              "Cell C4 holds \"1.5\", written with a decimal point, while the numbers of this "
              "block are read with a decimal comma (layout \"Mic\")" +
                  tail);
    // A blank text is an empty cell: 0, in no notation.
    cut = cutIn(comma, "Cycle|A;1|' ;2|'1,5");
    EXPECT_EQ(Points(cut.run.rawfluor, cut.run, 1), (std::vector<double>{0, 1.5}));
    // A counted column (layout 11's column 4) takes part in the block's notation too.
    TScript none;
    EXPECT_TRUE(CutInstrumentLayout(B("W||S|Cq|1;A1||a|'21,5|'0.5"), Record(11), none)
                    .refusal.text.startsWith(QStringLiteral("Cell E4 holds \"21,5\"")));
}

TEST(InstrumentLayouts, refusals_blocksThatDoNotFit_refusedNamingLayoutAndMisfit) {
    struct TCase {
        int layout;
        const char* block;
        QString text;  // after "The block does not fit the layout "
        std::deque<QString> answers = {};
    };
    const std::vector<TCase> cases{
        {0, "a||b;||;1|2|3",
         "\"Roche Lightcycler (32 caps)\": it has 3 columns, and each sample takes two (an even "
         "number)."},
        {7, "a||b|;1|2|3|4",
         "\"LightCycler 480 (2 columns per sample)\": it has 4 columns: one first column and two "
         "per sample (an odd number) are needed."},
        {15, "a|||b;1|2|3|4",
         "\"Corbett 6000 (3 columns per well)\": it has 4 columns, and each well takes three (a "
         "multiple of 3)."},
        {6, "Well|Cycle|Rn;A1|1|5;A1|2|6;A1|3|7;B1|1|5;B1|2|6",
         "\"Step-One Plus and ViiA7 (ABI)\": its 5 data rows do not divide into wells of 3 cycles "
         "each."},
        {16, "Well Position|Cycle|Target|Rn;A1|1|t|5;A1|2|t|6;B1|1|t|5",
         "\"Quantstudio Flex (Amplification Data)\": its 3 data rows do not divide into wells of "
         "2 cycles each."},
        {6, "Well|Cycle|Rn;A1|0|5;A1|-2|6",
         "\"Step-One Plus and ViiA7 (ABI)\": its cycle column holds no positive whole number."},
        {16, "Well Position|Cycle|Target|Rn;A1||t|5",
         "\"Quantstudio Flex (Amplification Data)\": its cycle column holds no positive whole "
         "number."},
        {6, "Well|Cycle|Rn;A1|9|5;A1|2|6",
         "\"Step-One Plus and ViiA7 (ABI)\": its 2 data rows cannot hold 9 cycles."},
        {5, "||;||;s1||;|1|2;|2|3",
         "\"Stratagene Format 1 (Vertically Grouped)\": column 1 holds only one sample name, and "
         "the next name after row 3 marks where a sample ends."},
        {5, "||;||;s1||;|1|2;|2|3;s2||;|1|2",
         "\"Stratagene Format 1 (Vertically Grouped)\": its last sample has fewer than 2 data "
         "rows."},
        {18, "A1|5|5|5;A2|6|6|6",
         "\"Analytik Jena qTOWER3 (singleplex)\": no row is a dye header row (a name followed by "
         "the cycle numbers 1, 2, 3 ...)."},
        {19, "A1|5|5",
         "\"Analytik Jena qTOWER3 (multiplex)\": it needs a name column and at least three value "
         "columns."},
        {21, "s|x|1;|1|2", "\"Agilent ARIA MX\": no row holds \"Cycles\" in column 2."},
        {21, "s|Cycles|;|1|2;|2|2;|3|2;|4|2;||;t|Cycles|;|1|2;|2|2;|3|2",
         "\"Agilent ARIA MX\": its last sample has fewer than 4 cycle rows."},
        {10, "a|b|c|d|e|f;A1|||||",
         "\"Applied Biosystems (5 leading columns)\": it needs a header row and six name columns "
         "before the values."},
        {7,
         "Cycle||Sample 1;|1|2",
         "\"LightCycler 480 (2 columns per sample)\": no sample is left to read.",
         {QStringLiteral("SAMPLE")}},
        {20, "", "\"Mic\": it needs a name row and a cycle column before the samples."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("layout " + std::to_string(c.layout) + ": " + c.text.toStdString());
        const TLayoutCut cut = Cut(c.layout, c.block, c.answers);
        EXPECT_FALSE(cut.ok);
        EXPECT_EQ(cut.refusal.text, "The block does not fit the layout " + c.text);
        EXPECT_EQ(cut.run.nsamples, 0);
    }
    // The missing-column messages are information, and stop the read too.
    const std::vector<TCase> columns{
        {6, "Well|Cyc|Rn;A1|1|5", "Excel file should contain columns labelled <cycle> and <Rn>"},
        {6,
         "Well|Cycle|Rn x;A1|1|5",
         "Excel file should contain columns labelled <cycle> and <Rn>",
         {QStringLiteral("4")}},
        {16,
         "Well Position|Cycle|Target|Delta Rn;A1|1|t|5",
         "Excel file should contain columns labelled <Cycle> and <Rn>",
         {QStringLiteral("x")}},
        {16, "Well|Cycle|Target|Rn;A1|1|t|5",
         "Excel file should contain columns labelled with <Position> and <Target>"},
    };
    for (const auto& c : columns)
        EXPECT_EQ(Cut(c.layout, c.block, c.answers).refusal,
                  (TImportNotice{TNoticeKind::Information, c.text}));
    const auto survey = Cut(6, columns[0].block).StringGrid7;  // stopped before counting
    ASSERT_TRUE(survey);
    EXPECT_EQ(std::pair(survey->ncycles, survey->nwells), std::pair(0, 0));
    EXPECT_EQ(Cut(22, "1").refusal.text, "There is no instrument layout number 22.");
    TScript none;
    EXPECT_EQ(CutInstrumentLayout({}, Record(20), none).refusal.text,
              "The block does not fit the layout \"Mic\": the block is empty.");
}

TEST(InstrumentLayouts, longFormat_inputBoxesNoticesAndSurvey) {
    // Layout 6 without cycle and fluorescence headers: the user names columns 2 and 3.
    TScript s;
    s.answers = {QStringLiteral("2"), QStringLiteral(" 3 ")};
    TLayoutCut cut =
        CutInstrumentLayout(B("x|Cyc#|Fluo;|1|5;|2|-6;|1|;|2|7;|1|1;|2|2"), Record(6), s);
    ASSERT_TRUE(cut.ok) << cut.refusal.text.toStdString();
    EXPECT_EQ(s.asked, (QStringList{"The cycle column was not found",
                                    "The fluorescence column was not found"}));
    EXPECT_EQ(Names(cut.run), (std::vector<std::string>{"1", "3"}));  // well numbers
    EXPECT_EQ(cut.notices, (std::vector<TImportNotice>{
                               {TNoticeKind::Information,
                                "Unused wells have been removed from the input. You will have to "
                                "this manually in your annotation sheets. Analysis contimues."}}));
    EXPECT_NEAR(cut.run.rawfluor[1][2], 0.01, 1e-12);  // lifted by 6 + 0.01
    EXPECT_EQ(cut.StringGrid7, (TColumnSurvey{{-1, -1, -1, -1}, 2, 3, std::nullopt}));

    // Layout 16 with an error in the position column, an empty well and a well without a
    // positive value; declared baseline-corrected, it reads "Delta Rn".
    const char* flex =
        "Well Position|Cycle|Target|Rn|Delta Rn;#N/A|1|t|9|1;#N/A|2|t|9|2;B1|1|t|9|;B1|2|t|9|3;"
        "C1|1|t|9|0;C1|2|t|9|-1";
    cut = Cut(16, flex, {}, true);
    ASSERT_TRUE(cut.ok);
    EXPECT_EQ(Names(cut.run), (std::vector<std::string>{"error_t"}));
    EXPECT_EQ(Points(cut.run.rawfluor, cut.run, 1), (std::vector<double>{1, 2}));
    EXPECT_TRUE(cut.run.baselinecorrected);  // from this read's answer
    EXPECT_EQ(cut.notices,
              (std::vector<TImportNotice>{
                  {TNoticeKind::Information,
                   "An Excel error code was encountered in the Well or Target column. Analysis "
                   "contimues."},
                  {TNoticeKind::Warning,
                   "Some wells are empty or have no positive values and were removed."}}));
    EXPECT_EQ(cut.StringGrid7, (TColumnSurvey{{2, 5, 1, 3}, 2, 3, 1}));
    EXPECT_FALSE(Cut(16, flex).run.baselinecorrected);
}

TEST(InstrumentLayouts, answersAndCounts_layouts7_8_11_17) {
    // Layout 7: the default answer removes every well whose name holds "sample" in any case.
    TScript s;
    TLayoutCut cut =
        CutInstrumentLayout(B("||SAMPLE 1||liver||my_sample;|1|5|1|6|1|7"), Record(7), s);
    EXPECT_EQ(s.asked, QStringList{"This format includes empty wells"});
    EXPECT_EQ(Names(cut.run), (std::vector<std::string>{"liver"}));
    EXPECT_EQ(cut.run.rawfluor[1][1], 6);
    // Layout 8 declared baseline-corrected has two header rows.
    EXPECT_EQ(Names(Cut(8, "h||1;h2||1;1|s|5", {}, true).run), (std::vector<std::string>{"1_s"}));
    EXPECT_EQ(Cut(8, "h||1;h2||1;1|s|5").run.nsamples, 2);
    // Layout 11: rows whose column 4 is not a number are counted and left out.
    cut = Cut(11, "W||S|Cq|1;A1||a|Excluded|5;A2||b||5;A3||c|-999|5;A4||d|'21,5|5");
    EXPECT_EQ(Names(cut.run), (std::vector<std::string>{"A4_d"}));
    EXPECT_EQ(
        cut.notices,
        (std::vector<TImportNotice>{{TNoticeKind::Information,
                                     "2 Excluded or Empty wells were ignored. Please check your "
                                     "output."}}));
    // Layout 17: a lone "1" in the corner means cycles down the rows.
    cut = Cut(17, "x|A1|B1;1|5|6;2|7|8");
    EXPECT_EQ(Names(cut.run), (std::vector<std::string>{"A1", "B1"}));
    EXPECT_EQ(cut.run.ncycles, 2);
}

// R x M cells, all alike.
TCellBlock Filled(int R, int M, const TCellValue& v) {
    return TCellBlock(static_cast<std::size_t>(R), std::vector<TCellValue>(M, v));
}

QString LayoutName(int layout) {
    return QString::fromLatin1(InstrumentLayoutNames()[static_cast<std::size_t>(layout)]).trimmed();
}

QString NoData(int layout, const char* range) {
    return QStringLiteral(
               "The block %1 holds no data for the layout \"%2\": none of its samples "
               "has a fluorescence value.")
        .arg(QLatin1String(range), LayoutName(layout));
}

// An empty block holds nothing to read under any layout: one refusal naming the block and the
// layout, before any question (or, where the layout cannot have that many rows or columns, that
// refusal). Tried at the size of the "Mic" block A1:M41 and one row and column less, from B3
// on. A block of texts is refused too, by the layout's own message.
TEST(InstrumentLayouts, emptyOrTextBlocks_everyLayout_refusedWithOneMessage) {
    for (int layout = 0; layout < 22; ++layout) {
        SCOPED_TRACE("layout " + std::to_string(layout));
        int nodata = 0;
        for (const auto& [R, M, range] : {std::tuple{41, 13, "B3:N43"}, {40, 12, "B3:M42"}})
            for (const TCellValue& blank :
                 {TCellValue::Empty(), TCellValue::Text(QStringLiteral(" "))}) {
                TScript s;
                const TLayoutCut cut = CutInstrumentLayout(Filled(R, M, blank), Record(layout), s);
                EXPECT_FALSE(cut.ok);
                EXPECT_EQ(cut.refusal.kind, TNoticeKind::Warning);
                if (cut.refusal.text == NoData(layout, range))
                    ++nodata;
                else
                    EXPECT_TRUE(cut.refusal.text.startsWith("The block does not fit the layout \"" +
                                                            LayoutName(layout) + "\": it "))
                        << cut.refusal.text.toStdString();
                EXPECT_TRUE(s.asked.isEmpty());
                EXPECT_TRUE(cut.notices.empty());
                EXPECT_EQ(cut.run.nsamples, 0);
            }
        EXPECT_GE(nodata, 2);
        TScript s;
        const TLayoutCut texts = CutInstrumentLayout(
            Filled(41, 13, TCellValue::Text(QStringLiteral("n/a"))), Record(layout), s);
        EXPECT_FALSE(texts.ok);
        EXPECT_FALSE(texts.refusal.text.isEmpty());
        EXPECT_EQ(texts.run.nsamples, 0);
    }
}

// Names and cycles without a single fluorescence value are no data either; one value in one
// sample is enough to read the block.
TEST(InstrumentLayouts, namesWithoutValues_refusedAsNoData_oneValueReads) {
    const struct {
        int layout;
        const char* block;
    } cases[] = {
        {0, "s 1||s2|;x|x|x|x;1||1|;2||2|"},
        {1, "W|N|1|2;A1|x||;A2|y||"},
        {2, "a|b|c|S1|S2;||||;||||"},
        {3, "x|x|x;Cycle|s1|s2;5||;6||"},
        {5, "h||;h||;s1||;|1|;|2|;s2||;|1|;|2|"},
        {7, "Cycle||A1||A2;|1||1|;|2||2|"},
        {8, "No|Name|1|2;1|std||;2|ntc||"},
        {9, "a|b|c|d|e|f|1;A1|s|t|u|v|w|;A2|s|t|u|v|w|"},
        {14, "|Cycle|A1|A2;|1||;|2||"},
        {15, "|||||;A1|1||A2|1|;|2|||2|"},
        {17, "Fluorescence\\Cycle|1|2;A1||;A2||"},
        {20, "Cycle|A|B;1||;2||"},
        {21, "s 1|Cycles|;|1|;|2|;||;s 2|Cycles|;|1|;|2|;||"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("layout " + std::to_string(c.layout));
        const TLayoutCut cut = Cut(c.layout, c.block, {QString()});
        EXPECT_FALSE(cut.ok);
        EXPECT_TRUE(cut.refusal.text.endsWith(
            QStringLiteral("holds no data for the layout \"%1\": none of its samples has a "
                           "fluorescence value.")
                .arg(LayoutName(c.layout))))
            << cut.refusal.text.toStdString();
    }
    EXPECT_EQ(Cut(20, "Cycle|A|B;1||;2||").refusal.text, NoData(20, "B3:D5"));
    const TLayoutCut one = Cut(20, "Cycle|A|B;1||;2||'0.5");
    ASSERT_TRUE(one.ok) << one.refusal.text.toStdString();
    EXPECT_EQ(one.run.nsamples, 2);
    EXPECT_EQ(one.run.rawfluor[2][2], 0.5);
}

}  // namespace
