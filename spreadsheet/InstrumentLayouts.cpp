// SPDX-License-Identifier: GPL-3.0-or-later
#include "spreadsheet/InstrumentLayouts.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "engine/Engine.h"
#include "engine/Utilities.h"
#include "spreadsheet/ColumnLetters.h"
#include "spreadsheet/NumberNotation.h"
#include "spreadsheet/StrictNumber.h"

namespace qurvex {

namespace {

constexpr double kTrailingLimit = 1e-7;

// Ends a cut; caught once, at the top.
struct TRefusal {
    TImportNotice notice;
};

std::size_t ix(int i) { return static_cast<std::size_t>(i); }

// Rounding to the nearest integer, halves to even (16.5 -> 16, 17.5 -> 18).
double roundHalfEven(double x) { return std::nearbyint(x); }

class TLayoutCutter {
public:
    TLayoutCutter(const TCellBlock& block, const TexcelreadQVX& record, TImportAsker& asker,
                  QChar documentSeparator)
        : block_(block), record_(record), asker_(asker), notation_(documentSeparator) {}

    TLayoutCut cut();

private:
    const TCellBlock& block_;
    const TexcelreadQVX& record_;
    TImportAsker& asker_;
    TBlockNotation notation_;  // learnt from every text the layout reads as a number
    int R_ = 0;
    int M_ = 0;
    TLayoutCut out_;
    QStringList nopositive_;   // samples without a positive value (layouts 6, 9, 11)
    bool numberRead_ = false;  // a cell read as a number held one (not empty, not blank)
    bool dataRead_ = false;    // some sample has a fluorescence value read from a number

    // ---- cells, 1-based within the block
    const TCellValue& cell(int r, int c) const;
    QString address(int r, int c) const;
    [[noreturn]] void refuse(TNoticeKind kind, const QString& text) const;
    void require(bool fits, const QString& what) const;
    [[noreturn]] void refuseNoData() const;
    bool holdsAnything() const;
    QString layoutName() const;
    QString textOf(int r, int c) const;
    std::string cleanedText(int r, int c) const { return cleanident(textOf(r, c).toStdString()); }
    std::string asIsText(int r, int c) const { return textOf(r, c).toStdString(); }
    std::optional<double> valueOf(int r, int c);
    double numberOf(int r, int c);
    void refuseMixedNotation() const;
    std::string joinedNames(int r, std::initializer_list<int> columns) const;

    // ---- filling the run
    using TNameOf = std::function<std::string(int k)>;
    using TValueOf = std::function<double(int k, int i)>;
    void fill(int S, int N, const TNameOf& name, const TValueOf& cycle, const TValueOf& fluor);
    static double index(int, int i) { return i; }
    void noteNoPositive();

    // ---- the layouts
    void requireShape(int layout) const;
    // Layout 8: baseline-corrected exports carry a second header row.
    int headerRows8() const { return record_.baselinecorrected ? 2 : 1; }
    void layout0();
    void layout1();
    void layout2();
    void layout3();
    void layout5();
    void layoutLong(bool flex);  // 6 and 16
    void layout7();
    void layout8();
    void layout9();
    void layout11();
    void layout14();
    void layout15();
    void layout17();
    void layout18();
    void layout20();
    void layout21();
    int askColumn(const QString& caption, const QString& prompt);

    // ---- after the layout
    void liftNegatives();
    void refuseNoPositive() const;
    void takeCycleHeader();
    void trimTrailing();
};

const TCellValue& TLayoutCutter::cell(int r, int c) const {
    // requireShape checks the least rows and columns of a layout before the cut; the layouts
    // whose pattern depends on what the cells hold (5, 6, 16, 18, 21) check the rest as they read.
    // A cell beyond the block's edge is refused here.
    if (r < 1 || r > R_ || c < 1 || c > M_)
        refuse(TNoticeKind::Warning, QStringLiteral("The block does not fit the layout %1: it has "
                                                    "no cell at row %2, column %3 of the block.")
                                         .arg(layoutName())
                                         .arg(r)
                                         .arg(c));
    return block_[ix(r - 1)][ix(c - 1)];
}

QString TLayoutCutter::address(int r, int c) const {
    return ColumnToLetters(record_.startcol + c - 1) + QString::number(record_.startrow + r - 1);
}

void TLayoutCutter::refuse(TNoticeKind kind, const QString& text) const {
    throw TRefusal{{kind, text}};
}

void TLayoutCutter::require(bool fits, const QString& what) const {
    if (!fits)
        refuse(TNoticeKind::Warning,
               QStringLiteral("The block does not fit the layout %1: %2.").arg(layoutName(), what));
}

// One refusal for every layout: a block (at least one cell), or a cut of it, without a single
// fluorescence value.
void TLayoutCutter::refuseNoData() const {
    const QString range = address(1, 1) + QLatin1Char(':') + address(R_, M_);
    refuse(TNoticeKind::Warning, QStringLiteral("The block %1 holds no data for the layout %2: "
                                                "none of its samples has a fluorescence value.")
                                     .arg(range, layoutName()));
}

// True when some cell holds a number, a text that is not blank, or an error value.
bool TLayoutCutter::holdsAnything() const {
    for (const auto& row : block_)
        for (const TCellValue& v : row)
            if (v.kind != TCellValue::Kind::Empty &&
                !(v.kind == TCellValue::Kind::Text && v.text.trimmed().isEmpty()))
                return true;
    return false;
}

QString TLayoutCutter::layoutName() const {
    const int t = std::clamp(record_.filetype, 0, 21);
    return QLatin1Char('"') + QString::fromLatin1(InstrumentLayoutNames()[ix(t)]).trimmed() +
           QLatin1Char('"');
}

QString TLayoutCutter::textOf(int r, int c) const {
    const TCellValue& v = cell(r, c);
    switch (v.kind) {
        case TCellValue::Kind::Empty:
            return {};
        case TCellValue::Kind::Number:
            return QString::number(v.number, 'g', 15);
        case TCellValue::Kind::Text:
            return v.text;
        case TCellValue::Kind::Error:
            break;
    }
    refuse(TNoticeKind::Warning, QStringLiteral("Cell %1 holds the error %2, where the layout %3 "
                                                "needs a text.")
                                     .arg(address(r, c), v.text, layoutName()));
}

// A cell as a number: a number cell, or a text that is wholly a number (its decimal mark noted
// for the block's notation), which sets numberRead_. Empty cells and blank texts give 0.
std::optional<double> TLayoutCutter::valueOf(int r, int c) {
    const TCellValue& v = cell(r, c);
    switch (v.kind) {
        case TCellValue::Kind::Number:
            numberRead_ = true;
            return v.number;
        case TCellValue::Kind::Empty:
            return 0.0;
        case TCellValue::Kind::Text: {
            if (v.text.trimmed().isEmpty()) return 0.0;
            const auto n = ReadTextNumber(v.text);
            if (!n) return std::nullopt;
            notation_.Note(*n, r, c, v.text);
            numberRead_ = true;
            return n->value;
        }
        case TCellValue::Kind::Error:
            break;
    }
    return std::nullopt;
}

double TLayoutCutter::numberOf(int r, int c) {
    if (auto n = valueOf(r, c)) return *n;
    refuse(TNoticeKind::Warning,
           QStringLiteral("Cell %1 holds \"%2\", which is not a number (layout %3).")
               .arg(address(r, c), cell(r, c).text, layoutName()));
}

// A text number whose decimal mark is not the block's: the values cannot be trusted.
void TLayoutCutter::refuseMixedNotation() const {
    if (const auto misfit = notation_.FirstMisfit())
        refuse(TNoticeKind::Warning,
               notation_.MisfitMessage(address(misfit->row, misfit->column),
                                       QStringLiteral("layout ") + layoutName()));
}

std::string TLayoutCutter::joinedNames(int r, std::initializer_list<int> columns) const {
    std::string name;
    for (int c : columns) {
        if (!name.empty() || c != *columns.begin()) name += '_';
        name += cleanedText(r, c);
    }
    return name;
}

void TLayoutCutter::fill(int S, int N, const TNameOf& name, const TValueOf& cycle,
                         const TValueOf& fluor) {
    TRunInput& run = out_.run;
    run.size(N, S);
    for (int k = 1; k <= S; ++k) {
        run.sampname[ix(k)] = name(k);
        run.npoints[ix(k)] = N;
        for (int i = 1; i <= N; ++i) {
            run.rawcyc[ix(k)][ix(i)] = cycle(k, i);
            numberRead_ = false;
            run.rawfluor[ix(k)][ix(i)] = fluor(k, i);
            dataRead_ = dataRead_ || numberRead_;
        }
    }
}

bool hasPositive(const TRunInput& run, int k) {
    const auto& row = run.rawfluor[ix(k)];
    for (int i = 1; i <= run.npoints[ix(k)]; ++i)
        if (row[ix(i)] > 0.0) return true;
    return false;
}

void TLayoutCutter::noteNoPositive() {
    for (int k = 1; k <= out_.run.nsamples; ++k)
        if (!hasPositive(out_.run, k)) {
            const auto first = TEngine::extractpart(out_.run.sampname[ix(k)], 1, ' ', false);
            nopositive_ << QString::fromStdString(first.value_or(std::string()));
        }
}

// The least rows and columns of a layout, checked before its cut. It is not the whole pattern:
// layouts 5, 6, 16, 18 and 21 find where their samples lie from the cells, and check the rest
// of their shape as they read them (layouts 6 and 16 have no check here at all).
void TLayoutCutter::requireShape(int layout) const {
    switch (layout) {
        case 0:
            require(M_ >= 2 && M_ % 2 == 0,
                    QStringLiteral("it has %1 columns, and each sample takes two (an even number)")
                        .arg(M_));
            require(R_ >= 3,
                    QStringLiteral("it needs a name row, a second row and cycle rows below"));
            break;
        case 1:
            require(M_ >= 3 && R_ >= 2,
                    QStringLiteral("it needs a header row and two name columns before the values"));
            break;
        case 2:
            require(
                M_ >= 4 && R_ >= 2,
                QStringLiteral("it needs a name row and three leading columns before the samples"));
            break;
        case 3:
            require(
                M_ >= 2 && R_ >= 3,
                QStringLiteral("it needs two header rows and a cycle column before the samples"));
            break;
        case 5:
            require(M_ >= 3 && R_ >= 4,
                    QStringLiteral(
                        "it needs three columns (name, cycle, fluorescence) and a name in row 3 "
                        "followed by data rows"));
            break;
        case 7:
            require(M_ >= 3 && (M_ - 1) % 2 == 0,
                    QStringLiteral("it has %1 columns: one first column and two per sample (an odd "
                                   "number) are needed")
                        .arg(M_));
            require(R_ >= 2, QStringLiteral("it needs a name row and cycle rows below"));
            break;
        case 8:
            require(
                M_ >= 3 && R_ >= headerRows8() + 1,
                QStringLiteral("it needs %1 header row(s) and two name columns before the values")
                    .arg(headerRows8()));
            break;
        case 9:
            require(M_ >= 7 && R_ >= 2,
                    QStringLiteral("it needs a header row and six name columns before the values"));
            break;
        case 11:
            require(M_ >= 4 && R_ >= 2,
                    QStringLiteral(
                        "it needs a header row and three leading columns before the values"));
            break;
        case 14:
            require(
                M_ >= 3 && R_ >= 2,
                QStringLiteral("it needs a name row and two leading columns before the samples"));
            break;
        case 15:
            require(M_ >= 3 && M_ % 3 == 0,
                    QStringLiteral("it has %1 columns, and each well takes three (a multiple of 3)")
                        .arg(M_));
            require(R_ >= 2, QStringLiteral("it needs a header row and cycle rows below"));
            break;
        case 17:
            require(M_ >= 2 && R_ >= 2, QStringLiteral("it needs a header row and a name column"));
            break;
        case 18:
            require(M_ >= 4,
                    QStringLiteral("it needs a name column and at least three value columns"));
            break;
        case 20:
            require(M_ >= 2 && R_ >= 2,
                    QStringLiteral("it needs a name row and a cycle column before the samples"));
            break;
        case 21:
            require(M_ >= 3 && R_ >= 2,
                    QStringLiteral("it needs three columns (name, cycle, fluorescence)"));
            break;
        default:
            break;
    }
}

// ---- layouts with one sample per column or per row

void TLayoutCutter::layout0() {
    fill(
        M_ / 2, R_ - 2, [&](int k) { return cleanedText(1, 2 * k - 1); },
        [&](int k, int i) { return numberOf(i + 2, 2 * k - 1); },
        [&](int k, int i) { return numberOf(i + 2, 2 * k); });
    // Only the values different from 0 count.
    for (int k = 1; k <= out_.run.nsamples; ++k) {
        const auto& row = out_.run.rawfluor[ix(k)];
        out_.run.npoints[ix(k)] = static_cast<int>(
            std::count_if(row.begin() + 1, row.end(), [](double v) { return v != 0.0; }));
    }
}

void TLayoutCutter::layout1() {
    fill(
        R_ - 1, M_ - 2,
        [&](int k) {
            return joinedNames(k + 1, {1, 2});
        },
        index, [&](int k, int i) { return numberOf(k + 1, i + 2); });
}

void TLayoutCutter::layout2() {
    fill(
        M_ - 3, R_ - 1, [&](int k) { return cleanedText(1, k + 3); }, index,
        [&](int k, int i) { return numberOf(i + 1, k + 3); });
}

void TLayoutCutter::layout3() {
    fill(
        M_ - 1, R_ - 2, [&](int k) { return cleanedText(2, k + 1); },
        [&](int, int i) { return numberOf(i + 2, 1); },
        [&](int k, int i) { return numberOf(i + 2, k + 1); });
}

void TLayoutCutter::layout7() {
    const QString removeText = asker_
                                   .InputBox(QStringLiteral("This format includes empty wells"),
                                             QStringLiteral("Remove wells when the sample name "
                                                            "contains: "),
                                             QStringLiteral("Sample"))
                                   .toLower();
    std::vector<int> kept;
    for (int w = 1; w <= (M_ - 1) / 2; ++w) {
        const QString name = QString::fromStdString(cleanedText(1, 2 * w + 1)).toLower();
        if (removeText.isEmpty() || !name.contains(removeText)) kept.push_back(w);
    }
    const auto well = [&](int k) { return kept[ix(k - 1)]; };
    fill(
        static_cast<int>(kept.size()), R_ - 1,
        [&](int k) { return cleanedText(1, 2 * well(k) + 1); },
        [&](int k, int i) { return numberOf(i + 1, 2 * well(k)); },
        [&](int k, int i) { return numberOf(i + 1, 2 * well(k) + 1); });
}

void TLayoutCutter::layout8() {
    const int H = headerRows8();
    fill(
        R_ - H, M_ - 2,
        [&](int k) {
            return joinedNames(k + H, {1, 2});
        },
        index, [&](int k, int i) { return numberOf(k + H, i + 2); });
}

void TLayoutCutter::layout9() {
    fill(
        R_ - 1, M_ - 6,
        [&](int k) {
            return joinedNames(k + 1, {1, 2, 3, 4, 5, 6});
        },
        index, [&](int k, int i) { return numberOf(k + 1, i + 6); });
    noteNoPositive();
}

void TLayoutCutter::layout14() {
    fill(
        M_ - 2, R_ - 1, [&](int k) { return cleanedText(1, k + 2); },
        [&](int, int i) { return numberOf(i + 1, 2); },
        [&](int k, int i) { return numberOf(i + 1, k + 2); });
}

void TLayoutCutter::layout15() {
    fill(
        M_ / 3, R_ - 1, [&](int k) { return cleanedText(2, 3 * k - 2); },
        [&](int k, int i) { return numberOf(i + 1, 3 * k - 1); },
        [&](int k, int i) { return numberOf(i + 1, 3 * k); });
}

void TLayoutCutter::layout17() {
    const auto lenient = [&](int r, int c) {
        const TCellValue& v = cell(r, c);
        return v.kind == TCellValue::Kind::Error ? v.text : textOf(r, c);
    };
    QString corner = lenient(2, 1);
    if (lenient(1, 2) == corner && lenient(1, 1) == QStringLiteral("Fluorescence\\Cycle"))
        corner = QStringLiteral("A");
    if (corner == QStringLiteral("1")) {  // cycles run down the rows
        fill(
            M_ - 1, R_ - 1, [&](int k) { return asIsText(1, k + 1); }, index,
            [&](int k, int i) { return numberOf(i + 1, k + 1); });
    } else {
        fill(
            R_ - 1, M_ - 1, [&](int k) { return asIsText(k + 1, 1); }, index,
            [&](int k, int i) { return numberOf(k + 1, i + 1); });
    }
}

void TLayoutCutter::layout20() {
    fill(
        M_ - 1, R_ - 1, [&](int k) { return cleanedText(1, k + 1); },
        [&](int, int i) { return numberOf(i + 1, 1); },
        [&](int k, int i) { return numberOf(i + 1, k + 1); });
}

// ---- layouts of groups of rows

void TLayoutCutter::layout5() {
    int next = 0;  // the row of the second sample's name: it fixes the cycles per sample
    for (int r = 4; r <= R_ && next == 0; ++r) {
        const TCellValue& v = cell(r, 1);
        if (v.kind == TCellValue::Kind::Number || v.kind == TCellValue::Kind::Error ||
            !v.text.trimmed().isEmpty())
            next = r;
    }
    require(next != 0, QStringLiteral("column 1 holds only one sample name, and the next name "
                                      "after row 3 marks where a sample ends"));
    const int N = next - 4;
    require(N >= 1, QStringLiteral("the sample named in row 3 has no data rows"));
    const int S = static_cast<int>(roundHalfEven((R_ - 2.0) / (N + 1)));
    require((S - 1) * (N + 1) + 3 + N <= R_,
            QStringLiteral("its last sample has fewer than %1 data rows").arg(N));
    const auto b = [&](int k) { return (k - 1) * (N + 1) + 3; };
    fill(
        S, N, [&](int k) { return cleanedText(b(k), 1); },
        [&](int k, int i) { return numberOf(b(k) + i, 2); },
        [&](int k, int i) { return numberOf(b(k) + i, 3); });
}

void TLayoutCutter::layout21() {
    const auto isCycles = [&](int r) {
        return cell(r, 2).kind == TCellValue::Kind::Text &&
               cell(r, 2).text == QStringLiteral("Cycles");
    };
    int h = 0;
    for (int r = 1; r <= R_ && h == 0; ++r)
        if (isCycles(r)) h = r;
    require(h != 0, QStringLiteral("no row holds \"Cycles\" in column 2"));
    // The first sample ends at the first empty column-2 cell, or at the block's end.
    int e = R_ + 1;
    for (int r = h + 1; r <= R_ && e == R_ + 1; ++r)
        if (cell(r, 2).kind == TCellValue::Kind::Empty ||
            (cell(r, 2).kind == TCellValue::Kind::Text && cell(r, 2).text.trimmed().isEmpty()))
            e = r;
    const int N = e - h - 1;
    require(N >= 1, QStringLiteral("the row with \"Cycles\" is not followed by cycle rows"));
    const int S = static_cast<int>((R_ - h) / double(N + 2) + 0.5);
    const auto b = [&](int k) { return (k - 1) * (N + 2) + h; };
    require(S >= 1 && b(S) + N <= R_,
            QStringLiteral("its last sample has fewer than %1 cycle rows").arg(N));
    fill(
        S, N, [&](int k) { return asIsText(b(k), 1); },
        [&](int k, int i) { return numberOf(b(k) + i, 2); },
        [&](int k, int i) { return numberOf(b(k) + i, 3); });
}

void TLayoutCutter::layout11() {
    std::vector<int> rows;
    int ignored = 0;
    for (int r = 2; r <= R_; ++r) {
        // An empty cell marks an empty well here, not a 0.
        const TCellValue& v = cell(r, 4);
        const bool empty = v.kind == TCellValue::Kind::Empty ||
                           (v.kind == TCellValue::Kind::Text && v.text.trimmed().isEmpty());
        const std::optional<double> n = empty ? std::nullopt : valueOf(r, 4);
        if (!n) ++ignored;
        if (n && *n > -999.0) rows.push_back(r);
    }
    const auto row = [&](int k) { return rows[ix(k - 1)]; };
    fill(
        static_cast<int>(rows.size()), M_ - 3,
        [&](int k) {
            return joinedNames(row(k), {1, 3});
        },
        index, [&](int k, int i) { return numberOf(row(k), i + 3); });
    noteNoPositive();
    if (ignored >= 1)
        out_.notices.push_back(
            {TNoticeKind::Information,
             QString::number(ignored) +
                 QStringLiteral(
                     " Excluded or Empty wells were ignored. Please check your output.")});
}

void TLayoutCutter::layout18() {
    const int N = M_ - 1;
    std::vector<std::pair<int, std::string>> samples;  // row, name
    std::string prefix;
    for (int r = 1; r <= R_; ++r) {
        const std::string text = cleanedText(r, 1);
        const double A = numberOf(r, 2), B = numberOf(r, 3), D = numberOf(r, 4);
        if (std::abs(B - A - 1) < 0.1 && std::abs(D - B - 1) < 0.1)
            prefix = text;  // a dye header row: its cycles 1, 2, 3 ...
        else
            samples.emplace_back(r, text + "_" + prefix);
    }
    require(static_cast<int>(samples.size()) < R_,
            QStringLiteral("no row is a dye header row (a name followed by the cycle numbers "
                           "1, 2, 3 ...)"));
    fill(
        static_cast<int>(samples.size()), N, [&](int k) { return samples[ix(k - 1)].second; },
        index, [&](int k, int i) { return numberOf(samples[ix(k - 1)].first, i + 1); });
}

int TLayoutCutter::askColumn(const QString& caption, const QString& prompt) {
    const QString answer = asker_.InputBox(caption, prompt, QStringLiteral("-1"));
    // An answer that is not a whole number is no column at all.
    return StrictInteger(answer).value_or(-1);
}

// Layouts 6 (Step-One Plus, ViiA7) and 16 (QuantStudio Flex): one row per well and cycle,
// wells one below the other, columns found by their headers in row 1.
void TLayoutCutter::layoutLong(bool flex) {
    TColumnSurvey survey;
    const QString fluorHeader =
        flex && record_.baselinecorrected ? QStringLiteral("delta rn") : QStringLiteral("rn");
    for (int c = 1; c <= M_; ++c) {
        const TCellValue& v = cell(1, c);
        if (v.kind != TCellValue::Kind::Text) continue;
        const QString h = v.text.trimmed().toLower();
        if (h == QStringLiteral("cycle")) survey.columns[0] = c;
        if (h == fluorHeader) survey.columns[1] = c;
        if (flex ? h.contains(QStringLiteral("position")) : h == QStringLiteral("well"))
            survey.columns[2] = c;
        if (flex ? h.contains(QStringLiteral("target")) : h == QStringLiteral("target name"))
            survey.columns[3] = c;
    }
    out_.StringGrid7 = survey;
    int cycleCol = survey.columns[0];
    int fluorCol = survey.columns[1];
    const int wellCol = survey.columns[2];
    const int targetCol = survey.columns[3];
    if (cycleCol == -1)
        cycleCol = askColumn(QStringLiteral("The cycle column was not found"),
                             QStringLiteral("Cycle numbers are in column: "));
    if (fluorCol == -1)
        fluorCol = askColumn(QStringLiteral("The fluorescence column was not found"),
                             QStringLiteral("fluorescence values are in column: "));
    const auto usable = [&](int c) { return c >= 1 && c <= M_; };
    if (!usable(cycleCol) || !usable(fluorCol))
        refuse(TNoticeKind::Information,
               flex
                   ? QStringLiteral("Excel file should contain columns labelled <Cycle> and <Rn>")
                   : QStringLiteral("Excel file should contain columns labelled <cycle> and <Rn>"));
    if (flex && (wellCol == -1 || targetCol == -1))
        refuse(TNoticeKind::Information,
               QStringLiteral("Excel file should contain columns labelled with <Position> and "
                              "<Target>"));
    require(R_ >= 2, QStringLiteral("it has no data row below the header row"));

    double largest = 0;
    for (int r = 2; r <= R_; ++r) largest = std::max(largest, roundHalfEven(numberOf(r, cycleCol)));
    require(largest >= 1, QStringLiteral("its cycle column holds no positive whole number"));
    require(largest <= R_ - 1,
            QStringLiteral("its %1 data rows cannot hold %2 cycles").arg(R_ - 1).arg(largest));
    const int N = static_cast<int>(largest);
    require((R_ - 1) % N == 0, QStringLiteral("its %1 data rows do not divide into wells of %2 "
                                              "cycles each")
                                   .arg(R_ - 1)
                                   .arg(N));
    const int W = (R_ - 1) / N;
    out_.StringGrid7->ncycles = N;
    out_.StringGrid7->nwells = W;

    struct TWell {
        std::string name;
        std::vector<double> cyc, fluor;
    };
    std::vector<TWell> used;
    bool errorSeen = false;
    const auto nameText = [&](int r, int c) {
        if (cell(r, c).kind == TCellValue::Kind::Error) {
            errorSeen = true;
            return std::string("error");
        }
        return cleanedText(r, c);
    };
    for (int w = 1; w <= W; ++w) {
        const int first = (w - 1) * N + 2;
        TWell well;
        if (wellCol != -1 && targetCol != -1)
            well.name = nameText(first, wellCol) + "_" + nameText(first, targetCol);
        else if (wellCol != -1 || targetCol != -1)
            well.name = nameText(first, std::max(wellCol, targetCol));
        else
            well.name = std::to_string(w);
        well.cyc.assign(ix(N + 1), 0.0);
        well.fluor.assign(ix(N + 1), 0.0);
        bool unused = false, positive = false;
        for (int i = 1; i <= N; ++i) {
            const int r = first + i - 1;
            well.cyc[ix(i)] = numberOf(r, cycleCol);
            const TCellValue& f = cell(r, fluorCol);
            if (f.kind == TCellValue::Kind::Empty ||
                (f.kind == TCellValue::Kind::Text && cleanident(f.text.toStdString()).empty())) {
                well.fluor[ix(i)] = 1.0;
                unused = true;
            } else {
                well.fluor[ix(i)] = numberOf(r, fluorCol);
            }
            positive = positive || well.fluor[ix(i)] > 0.0;
        }
        if (flex && !positive) unused = true;
        if (!unused) used.push_back(std::move(well));
    }
    const int S = static_cast<int>(used.size());
    fill(
        S, N, [&](int k) { return used[ix(k - 1)].name; },
        [&](int k, int i) { return used[ix(k - 1)].cyc[ix(i)]; },
        [&](int k, int i) {
            numberRead_ = true;  // a well with an empty fluorescence cell is not used
            return used[ix(k - 1)].fluor[ix(i)];
        });
    if (errorSeen)
        out_.notices.push_back({TNoticeKind::Information,
                                QStringLiteral("An Excel error code was encountered in the Well or "
                                               "Target column. Analysis contimues.")});
    if (flex) {
        out_.StringGrid7->nsamples = S;
        if (S < W)
            out_.notices.push_back(
                {TNoticeKind::Warning, QStringLiteral("Some wells are empty or have no positive "
                                                      "values and were removed.")});
    } else {
        if (S < W)
            out_.notices.push_back(
                {TNoticeKind::Information,
                 QStringLiteral("Unused wells have been removed from the input. You will have to "
                                "this manually in your annotation sheets. Analysis contimues.")});
        noteNoPositive();
    }
}

// ---- after the layout

void TLayoutCutter::liftNegatives() {
    TRunInput& run = out_.run;
    for (int k = 1; k <= run.nsamples; ++k) {
        auto& row = run.rawfluor[ix(k)];
        double m = 0.0;
        for (int i = 1; i <= run.npoints[ix(k)]; ++i) m = std::min(m, row[ix(i)]);
        if (m >= 0.0) continue;
        // |m| + 10^-(d+1): the minimum becomes one unit of the next decimal above 0.
        const double lift = -m + std::pow(10.0, -(TEngine::FindNdecim(-m) + 1));
        for (int i = 1; i <= run.npoints[ix(k)]; ++i) row[ix(i)] += lift;
    }
}

void TLayoutCutter::refuseNoPositive() const {
    QString list;
    for (const QString& name : nopositive_) list += name + QStringLiteral(", ");
    refuse(TNoticeKind::Warning, QStringLiteral("Some samples (") + list +
                                     QStringLiteral(") have no positive values: please remove "
                                                    "them from the input"));
}

void TLayoutCutter::takeCycleHeader() {
    TRunInput& run = out_.run;
    int best = 1;
    for (int k = 2; k <= run.nsamples; ++k)
        if (run.npoints[ix(k)] > run.npoints[ix(best)]) best = k;
    for (int i = 1; i <= run.npoints[ix(best)]; ++i)
        run.headercyc[ix(i)] = run.rawcyc[ix(best)][ix(i)];
}

void TLayoutCutter::trimTrailing() {
    TRunInput& run = out_.run;
    for (int k = 1; k <= run.nsamples; ++k) {
        int& n = run.npoints[ix(k)];
        while (n > 0 && run.rawfluor[ix(k)][ix(n)] < kTrailingLimit) --n;
    }
}

TLayoutCut TLayoutCutter::cut() {
    try {
        R_ = static_cast<int>(block_.size());
        M_ = R_ > 0 ? static_cast<int>(block_.front().size()) : 0;
        const int layout = EffectiveLayout(record_.filetype);
        if (layout < 0)
            refuse(
                TNoticeKind::Warning,
                QStringLiteral("There is no instrument layout number %1.").arg(record_.filetype));
        require(R_ >= 1 && M_ >= 1, QStringLiteral("the block is empty"));
        for (const auto& row : block_)
            require(static_cast<int>(row.size()) == M_,
                    QStringLiteral("its rows are not all of the same length"));
        requireShape(layout);
        // Nothing to ask about, and nothing to cut.
        if (!holdsAnything()) refuseNoData();
        switch (layout) {
            case 0:
                layout0();
                break;
            case 1:
                layout1();
                break;
            case 2:
                layout2();
                break;
            case 3:
                layout3();
                break;
            case 5:
                layout5();
                break;
            case 6:
                layoutLong(false);
                break;
            case 7:
                layout7();
                break;
            case 8:
                layout8();
                break;
            case 9:
                layout9();
                break;
            case 11:
                layout11();
                break;
            case 14:
                layout14();
                break;
            case 15:
                layout15();
                break;
            case 16:
                layoutLong(true);
                break;
            case 17:
                layout17();
                break;
            case 18:
                layout18();
                break;
            case 20:
                layout20();
                break;
            case 21:
                layout21();
                break;
            default:
                break;
        }
        refuseMixedNotation();
        require(out_.run.nsamples >= 1, QStringLiteral("no sample is left to read"));
        if (!dataRead_) refuseNoData();
        if (LiftsNegatives(record_.filetype))
            liftNegatives();
        else if (!nopositive_.isEmpty())
            refuseNoPositive();
        takeCycleHeader();
        trimTrailing();

        TRunInput& run = out_.run;
        run.chemistry = record_.chemistry;
        run.inputtype = record_.substrate;
        run.baselinecorrected = record_.baselinecorrected;
        run.fromrdml = false;
        run.ownrdml = false;
        run.expid = record_.book.toStdString();
        run.runid = record_.sheet.toStdString();
        run.inputsheetname = record_.sheet.toStdString();
        out_.ok = true;
    } catch (const TRefusal& r) {
        out_.ok = false;
        out_.refusal = r.notice;
        out_.run = TRunInput();
    }
    return std::move(out_);
}

}  // namespace

const std::array<const char*, 22>& InstrumentLayoutNames() {
    static const std::array<const char*, 22> names{
        "Roche Lightcycler (32 caps) ",
        "Applied Biosystems",
        "MJ Research         ",
        "Bio -Rad iCycler ",
        "LightCycler 480 (converted raw data)",
        "Stratagene Format 1 (Vertically Grouped)",
        "Step-One Plus and ViiA7 (ABI)",
        "LightCycler 480 (2 columns per sample)",
        "Rotor-Gene (Corbett Research; 2 leading columns)",
        "Eppendorf Realplex",
        "Applied Biosystems (5 leading columns)",
        "Illumina Eco ('Component data')",
        "PikoReal (Thermo Scienitfic)",
        "Rotor-Gene (6 leading columns)",
        "Bio-Rad CFX Quantification Amplification Results",
        "Corbett 6000 (3 columns per well)",
        "Quantstudio Flex (Amplification Data)",
        "Roche LightCycler 96",
        "Analytik Jena qTOWER3 (singleplex)",
        "Analytik Jena qTOWER3 (multiplex)",
        "Mic",
        "Agilent ARIA MX",
    };
    return names;
}

int EffectiveLayout(int filetype) {
    switch (filetype) {
        case 4:
            return 1;
        case 12:
            return 2;
        case 10:
        case 13:
            return 9;
        case 19:
            return 18;
        default:
            return filetype >= 0 && filetype <= 21 ? filetype : -1;
    }
}

bool LiftsNegatives(int filetype) { return filetype == 6 || filetype == 11 || filetype == 13; }

TLayoutCut CutInstrumentLayout(const TCellBlock& block, const TexcelreadQVX& record,
                               TImportAsker& asker, QChar documentSeparator) {
    return TLayoutCutter(block, record, asker, documentSeparator).cut();
}

}  // namespace qurvex
