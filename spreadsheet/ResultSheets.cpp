// SPDX-License-Identifier: GPL-3.0-or-later
#include "spreadsheet/ResultSheets.h"

#include <algorithm>
#include <cmath>

#include "engine/CqCorrection.h"
#include "engine/Utilities.h"

namespace qurvex {

namespace {

template <class T>
T at(const std::vector<T>& values, int k) {
    return k >= 0 && k < static_cast<int>(values.size()) ? values[k] : T{};
}
bool flag(const boolarray& flags, int k) { return at(flags, k) != 0; }

QString q(const std::string& utf8) { return QString::fromStdString(utf8); }
// An empty text is an empty cell, as Calc keeps it.
TCellValue text(const QString& t) {
    return t.isEmpty() ? TCellValue::Empty() : TCellValue::Text(t);
}
TCellValue number(double v) { return TCellValue::Number(v); }

// Puts a cell at 1-based (row, column); cells outside the array are not written.
void put(TCellBlock& cells, int row, int column, const TCellValue& value) {
    if (row < 1 || column < 1 || row > static_cast<int>(cells.size())) return;
    auto& line = cells[row - 1];
    if (column > static_cast<int>(line.size())) return;
    line[column - 1] = value;
}
void put(TCellBlock& cells, int row, int column, const QString& t) {
    put(cells, row, column, text(t));
}

const char* const kCompleteTitles[kOutputColumnCount] = {"sample",
                                                         "name",
                                                         "lower_limit",
                                                         "upper_limit",
                                                         "n_included",
                                                         "N0_(indiv_eff)",
                                                         "indiv PCR eff",
                                                         "R2",
                                                         "threshold",
                                                         "Cq",
                                                         "Baseline",
                                                         "Amplicon",
                                                         "Target_Seq",
                                                         "mean_PCR_eff",
                                                         "",
                                                         "N0_(mean eff)",
                                                         "Sample_Use",
                                                         "Quality_checks",
                                                         ""};

const char* const kChemistries[7] = {"Chemistry: DNA binding dye (non-saturating",
                                     "Chemistry: hydrolysis probe",
                                     "Chemistry: hybridization probe",
                                     "Chemistry: labelled forward primer",
                                     "Chemistry: labelled reverse primer",
                                     "Chemistry: DNA-zyme probe",
                                     "Chemistry: DNA binding dye (saturating)"};

// Item texts of the main window's radio groups that the legend quotes.
QString itemText(const QStringList& items, int index) {
    return index >= 0 && index < items.size() ? items[index] : QString();
}
const QStringList kBaselineStrictness{QStringLiteral("strictly continuous Log-linear phase"),
                                      QStringLiteral("continuous with jumps (Fc > Fc+1)"),
                                      QStringLiteral("allow jumps and drooping points")};
const QStringList kRelaxLogLinLength{QStringLiteral("< 20x amplification"),
                                     QStringLiteral("< 10x amplification")};
const QStringList kRelaxCtShift{QStringLiteral("5% baseline error"),
                                QStringLiteral("2% baseline error")};

QString yesNo(bool exclude, const char* what) {
    return QStringLiteral("%1 <%2> samples")
        .arg(exclude ? QStringLiteral("exclude") : QStringLiteral("include"), QLatin1String(what));
}

// The amplicon name written for sample k: the single target's name when there is one group.
QString amplicon(const TRunState& run, const TSaveChoices& choices, int k) {
    return run.ngroups == 1 ? choices.targetname : q(at(run.ampname, k));
}

// Annotation title j (1-based) and sample k's annotation cell j.
QString annotationCell(const TSaveChoices& choices, int row, int j) {
    if (row < 0 || row >= static_cast<int>(choices.tissuegrid.size())) return {};
    return choices.tissuegrid[row].value(j);
}

TCellBlock emptyCells(int rows, int columns) {
    return TCellBlock(rows, std::vector<TCellValue>(std::max(columns, 3)));
}

void writeAnnotations(TCellBlock& cells, const TRunState& run, const TSaveChoices& choices,
                      int first, int count) {
    for (int j = 1; j <= count; ++j) {
        put(cells, 4, first + j - 1, annotationCell(choices, 0, j));
        if (!run.tissuesdefined) continue;
        for (int k = 1; k <= run.nsamples; ++k)
            put(cells, k + 4, first + j - 1, annotationCell(choices, k, j));
    }
}

double reportedCq(const TRunState& run, int k) { return at(run.ct, k) + GetCtCorrection(run, k); }

}  // namespace

TSampleCodes BuildSampleCodes(const TRunState& run) {
    const int n = run.nsamples;
    TSampleCodes codes;
    codes.non0.assign(n + 1, 0);
    codes.sampleuse.assign(n + 1, std::string());
    codes.qualitychecks.assign(n + 1, std::string());
    const bool detailed = run.scratchmode || run.expertmode;
    for (int k = 1; k <= n; ++k) {
        const bool noamplif = flag(run.noamplif, k), bgerror = flag(run.bgerror, k);
        const bool exclmean = flag(run.exclmeaneff, k);
        const bool non0 = noamplif || flag(run.userexcluded, k) ||
                          (bgerror && !flag(run.manualbg, k)) ||
                          (flag(run.effoutlier, k) && flag(run.noplateau, k));
        codes.non0[k] = non0;

        std::string use = "0 0 0";
        if (flag(run.usedforwol, k)) use[0] = '1';
        if (!exclmean) use[2] = '2';
        if (!non0) use[4] = '3';
        codes.sampleuse[k] = use;

        std::string checks = "- - - - - - - - - - - - - -";
        bool any = false;
        auto mark = [&](bool set, int position, char code) {
            if (!set) return;
            checks[position - 1] = code;
            any = true;
        };
        const bool corr = run.cqcorrneeded && at(run.ct, k) > 0;
        mark(noamplif, 3, '1');
        mark(bgerror, 5, '2');
        mark(flag(run.noplateau, k), 7, '3');
        mark(flag(run.noisy, k), 9, '4');
        mark(flag(run.effoutlier, k), 11, '5');
        mark(exclmean, 13, '6');
        mark(flag(run.userexcluded, k), 15, '7');
        mark(!exclmean && (noamplif || bgerror), 17, '8');
        mark(flag(run.manualbg, k), 19, '9');
        mark(detailed && flag(run.shortloglin, k), 21, 'L');
        mark(detailed && flag(run.ctshifting, k), 23, 'S');
        mark(corr && flag(run.cttoloweff, k), 25, 'A');
        mark(corr && flag(run.cttolown0, k), 27, 'B');
        if (!any) checks[0] = '0';
        codes.qualitychecks[k] = checks;
    }
    return codes;
}

int AnnotationColumnCount(const std::vector<QStringList>& tissuegrid) {
    int columns = 0;
    for (const auto& row : tissuegrid) columns = std::max(columns, static_cast<int>(row.size()));
    return std::max(columns - 2, 1);
}

std::array<int, kOutputColumnCount> OutputColumnNumbers(
    int outputchoice, const std::array<bool, kOutputColumnCount>& ticked, int annotations) {
    std::array<int, kOutputColumnCount> outcol{};
    if (outputchoice == kCompact) return outcol;
    int next = 1;
    for (int item = 0; item < kOutputColumnCount; ++item) {
        const bool chosen = outputchoice == kUserDefined ? ticked[item] : item != kItemTargetSeq;
        if (!chosen) continue;
        outcol[item] = next;
        next += item == kItemAnnotations ? std::max(annotations, 1) : 1;
    }
    return outcol;
}

double MeanEfficiencyN0(const TRunState& run, int sample, bool non0) {
    const double eff = at(run.sampmeaneff, sample);
    if (non0 || !(eff > 1.001)) return -999;
    return std::pow(10.0, at(run.sampftval, sample)) / std::pow(eff, reportedCq(run, sample));
}

int SheetRowCount(const TRunState& run) { return std::max(run.nsamples + 4, 45); }

void WriteHeaderAndLegend(TCellBlock& cells, const TRunState& run, const TEngineOptions& options,
                          const QString& datetext, int n0Column, int cqColumn, int legendColumn) {
    put(cells, 1, 1, QStringLiteral("Analysis of Real Time PCR data "));
    put(cells, 1, 2, QStringLiteral("version:2021.2"));
    put(cells, 2, 1, QStringLiteral("analysis date:") + datetext);
    put(cells, 3, 1, QStringLiteral("Input Sheet: ") + q(run.inputsheetname));
    if (options.CommonGroupWindowRG == 2) {
        switch (options.rg_fitoptions + 1) {
            case 1:
                put(cells, 3, 2, QStringLiteral("fit option 1: max R"));
                break;
            case 2:
                put(cells, 3, 2,
                    QStringLiteral("fit option 2: n between %1 and %2 and best R")
                        .arg(options.minincludedit)
                        .arg(options.nmaxedit));
                break;
            case 3:
                put(cells, 3, 2,
                    QStringLiteral("fit option 3: minimal R of %1 and highest n")
                        .arg(QString::number(options.rreqedit)));
                break;
            default:
                break;
        }
    } else {
        put(cells, 3, 2, QStringLiteral("points in WoL: %1").arg(run.wolpoints));
    }
    static const QStringList wol{QStringLiteral("WoL: common"),
                                 QStringLiteral("WoL: amplicon group"),
                                 QStringLiteral("WoL: individual")};
    put(cells, 1, 3, itemText(wol, options.CommonGroupWindowRG));
    static const QStringList thresholds{QStringLiteral("Threshold: common"),
                                        QStringLiteral("Thresholds: group")};
    put(cells, 3, 3, itemText(thresholds, options.ThresholdsRG));
    if (cqColumn > 0) {
        if (run.chemistry >= 1 && run.chemistry <= 7)
            put(cells, 1, cqColumn, QLatin1String(kChemistries[run.chemistry - 1]));
        if (run.inputtype == 1) put(cells, 2, cqColumn, QStringLiteral("Input: ss-cDNA"));
        if (run.inputtype == 2) put(cells, 2, cqColumn, QStringLiteral("Input: ds-DNA"));
    }
    if (n0Column > 0) put(cells, 1, n0Column, QStringLiteral("N0 = threshold /(Eff_mean^Cq)"));

    const int L = legendColumn;
    if (L < 1) return;
    const bool detailed = run.scratchmode || run.expertmode;
    const double percent = std::isnan(options.IncluPercEdit) ? 5.0 : options.IncluPercEdit;
    const QString perc = QString::number(percent);
    const char* const fixed[] = {"LEGEND",
                                 "",
                                 "Sample Use:",
                                 "1: used for W-o-L setting",
                                 "2: contributes to mean PCR efficiency",
                                 "3: N0 value calculated",
                                 "0: not used / calculated",
                                 "",
                                 "Quality Checks:",
                                 "0: passed all checks",
                                 "1: no amplification",
                                 "2: baseline error",
                                 "3: no plateau",
                                 "4: noisy sample",
                                 nullptr,
                                 "6: excluded from mean Eff",
                                 "7: excluded by user",
                                 "8: included by user",
                                 "9: manual baseline"};
    for (int row = 1; row <= 19; ++row)
        if (fixed[row - 1] && *fixed[row - 1]) put(cells, row, L, QLatin1String(fixed[row - 1]));
    put(cells, 15, L, QStringLiteral("5: PCR efficiency outside ") + perc + QStringLiteral("%"));
    int e = detailed ? 2 : 0;
    if (detailed) {
        put(cells, 20, L, QStringLiteral("L: short log-lin phase"));
        put(cells, 21, L, QStringLiteral("S: Cq is shifting"));
    }
    put(cells, 21 + e, L,
        QStringLiteral("if amplicon groups are defined the rules are applied per group"));
    if (run.cqcorrneeded) {
        put(cells, 23 + e, L, QStringLiteral("for cumulative fluorescence only"));
        put(cells, 24 + e, L, QStringLiteral("A: Cq too low for Eff"));
        put(cells, 25 + e, L, QStringLiteral("B: Cq too low for N0"));
        e += 4;
    }
    put(cells, 23 + e, L, QStringLiteral("User Choices:"));
    put(cells, 25 + e, L, QStringLiteral("Calculation of Mean Efficiency:"));
    put(cells, 26 + e, L, yesNo(options.ExcludeNoPlateauCB, "no plateau"));
    if (run.cqcorrneeded) {
        put(cells, 27 + e, L, yesNo(options.ExcludeTooLowCqCB, "Cq too low"));
        put(cells, 28 + e, L,
            options.AcceptErrorEffRG == 0
                ? QStringLiteral("  Cq too low defined as error in PCR efficiency > 0.01")
                : QStringLiteral("  Cq too low defined as error in PCR efficiency > 0.001"));
        put(cells, 29 + e, L,
            options.AcceptBiasN0RG == 0
                ? QStringLiteral("  Cq too low defined as bias in N0 > 5%")
                : QStringLiteral("  Cq too low defined as bias in N0 > 1%"));
        e += 3;
    }
    put(cells, 27 + e, L, yesNo(options.ExcludeOutlierCB, "efficiency outlier"));
    put(cells, 28 + e, L,
        QStringLiteral("  efficiency outlier defined as >") + perc +
            QStringLiteral("% from group median"));
    put(cells, 29 + e, L,
        detailed ? QStringLiteral("Baseline Estimation and Noise Handling:")
                 : QStringLiteral("Baseline Estimation:"));
    put(cells, 30 + e, L,
        QStringLiteral("  log-linear phase criterion: ") +
            itemText(kBaselineStrictness, options.BaselineStrictnessRG));
    if (detailed) {
        put(cells, 31 + e, L,
            QStringLiteral("  short log-linear phase defined as: ") +
                itemText(kRelaxLogLinLength, options.RelaxLogLinLengthRG));
        put(cells, 32 + e, L,
            QStringLiteral("  large Cq-shift defined as: >") +
                itemText(kRelaxCtShift, options.RelaxCtShiftRG));
    }
}

TResultSheet BuildCompleteSheet(const TRunState& run, const TEngineOptions& options,
                                const TSaveChoices& choices, const TSampleCodes& codes,
                                const std::array<int, kOutputColumnCount>& outcol) {
    const int annotations = AnnotationColumnCount(choices.tissuegrid);
    int columns = 0;
    for (int item = 0; item < kOutputColumnCount; ++item)
        if (outcol[item] > 0)
            columns =
                std::max(columns, outcol[item] + (item == kItemAnnotations ? annotations - 1 : 0));

    TResultSheet sheet;
    sheet.suffix = QStringLiteral("_output");
    sheet.columns = columns;
    sheet.formatrows = run.nsamples + 4;
    sheet.cells = emptyCells(SheetRowCount(run), columns);
    TCellBlock& cells = sheet.cells;
    const bool n0Written = outcol[kItemN0Mean] > 0;

    for (int item = 0; item < kOutputColumnCount; ++item) {
        const int c = outcol[item];
        if (c == 0 || item == kItemLegend) continue;
        if (item == kItemAnnotations) {
            writeAnnotations(cells, run, choices, c, annotations);
            continue;
        }
        put(cells, 4, c, QLatin1String(kCompleteTitles[item]));
        for (int k = 1; k <= run.nsamples; ++k) {
            TCellValue v;
            switch (item) {
                case kItemSample:
                    v = number(k);
                    break;
                case kItemName:
                    v = text(q(at(run.sampname, k)));
                    break;
                case kItemLowerLimit:
                    v = number(std::pow(10.0, at(run.lowlim, k)));
                    break;
                case kItemUpperLimit:
                    v = number(std::pow(10.0, at(run.uplim, k)));
                    break;
                case kItemNIncluded:
                    v = number(at(run.ninclu, k));
                    break;
                case kItemN0Indiv:
                    v = number(at(run.indivn0, k));
                    break;
                case kItemIndivEff:
                    v = number(at(run.indiveff, k));
                    break;
                case kItemR2:
                    v = number(at(run.rval, k) * at(run.rval, k));
                    break;
                case kItemThreshold:
                    v = number(std::pow(10.0, at(run.sampftval, k)));
                    break;
                case kItemCq:
                    v = number(n0Written ? reportedCq(run, k) : at(run.ct, k));
                    break;
                case kItemBaseline:
                    v = number(at(run.bgarr, k));
                    break;
                case kItemAmplicon:
                    v = text(amplicon(run, choices, k));
                    break;
                case kItemMeanEff:
                    v = number(at(run.sampmeaneff, k));
                    break;
                case kItemN0Mean:
                    v = number(MeanEfficiencyN0(run, k, flag(codes.non0, k)));
                    break;
                case kItemSampleUse:
                    v = text(q(at(codes.sampleuse, k)));
                    break;
                case kItemQualityChecks:
                    v = text(q(at(codes.qualitychecks, k)));
                    break;
                default:
                    continue;  // the separator: title only
            }
            put(cells, k + 4, c, v);
        }
    }
    if (outcol[kItemLegend] > 0) {
        // The header fills columns 1 to 3: a narrower sheet is widened to hold it.
        sheet.columns = std::max(sheet.columns, 3);
        WriteHeaderAndLegend(cells, run, options, choices.datetext, outcol[kItemN0Mean],
                             outcol[kItemCq], outcol[kItemLegend]);
    }

    auto format = [&](int item, const char* keyword) {
        if (outcol[item] > 0) sheet.formats.push_back({outcol[item], QLatin1String(keyword)});
    };
    format(kItemSample, "int0");
    format(kItemN0Indiv, "sci2");
    format(kItemN0Mean, "sci2");
    format(kItemNIncluded, "int0");
    format(kItemAmplicon, "int0");
    format(kItemAnnotations, "int0");
    format(kItemAnnotations, "left");
    const int use = outcol[kItemSampleUse], checks = outcol[kItemQualityChecks];
    if (use > 0 || checks > 0) {
        sheet.autofitfirst = use > 0 ? use : checks;
        sheet.autofitlast = checks > 0 ? checks : use;
    }
    if (use > 0) sheet.centercolumns.push_back(use);
    return sheet;
}

TResultSheet BuildCompactSheet(const TRunState& run, const TEngineOptions& options,
                               const TSaveChoices& choices, const TSampleCodes& codes) {
    const int annotations = AnnotationColumnCount(choices.tissuegrid);
    const int m = (run.groupsdefined ? 1 : 0) + (run.tissuesdefined ? annotations : 0);
    const int firstAnnotation = run.groupsdefined ? 4 : 3;

    TResultSheet sheet;
    sheet.suffix = QStringLiteral("_compact");
    sheet.columns = m + 10;
    sheet.formatrows = run.nsamples + 4;
    sheet.cells = emptyCells(SheetRowCount(run), sheet.columns);
    TCellBlock& cells = sheet.cells;

    put(cells, 4, 1, QStringLiteral("name"));
    put(cells, 4, 2, QStringLiteral("indiv_PCR_eff"));
    if (run.groupsdefined) put(cells, 4, 3, QStringLiteral("Amplicon"));
    if (run.tissuesdefined) writeAnnotations(cells, run, choices, firstAnnotation, annotations);
    put(cells, 4, m + 3, QStringLiteral("threshold"));
    put(cells, 4, m + 4, QStringLiteral("mean_PCR_eff"));
    put(cells, 4, m + 5, QStringLiteral("Cq"));
    put(cells, 4, m + 6, QStringLiteral("N0"));
    put(cells, 4, m + 7, QStringLiteral("Sample_Use"));
    put(cells, 4, m + 8, QStringLiteral("Quality_checks"));
    for (int k = 1; k <= run.nsamples; ++k) {
        const int r = k + 4;
        put(cells, r, 1, text(q(at(run.sampname, k))));
        put(cells, r, 2, number(at(run.indiveff, k)));
        if (run.groupsdefined) put(cells, r, 3, text(amplicon(run, choices, k)));
        put(cells, r, m + 3, number(std::pow(10.0, at(run.sampftval, k))));
        put(cells, r, m + 4, number(at(run.sampmeaneff, k)));
        put(cells, r, m + 5, number(reportedCq(run, k)));
        put(cells, r, m + 6, number(MeanEfficiencyN0(run, k, flag(codes.non0, k))));
        put(cells, r, m + 7, text(q(at(codes.sampleuse, k))));
        put(cells, r, m + 8, text(q(at(codes.qualitychecks, k))));
    }
    WriteHeaderAndLegend(cells, run, options, choices.datetext, m + 6, m + 5, m + 9);

    sheet.formats.push_back({m + 6, QStringLiteral("sci2")});
    if (run.groupsdefined) sheet.formats.push_back({3, QStringLiteral("int0")});
    if (run.tissuesdefined) {
        sheet.formats.push_back({firstAnnotation, QStringLiteral("int0")});
        sheet.formats.push_back({firstAnnotation, QStringLiteral("left")});
    }
    sheet.autofitfirst = 1;
    sheet.autofitlast = m + 9;
    sheet.centercolumns = {m + 7, m + 8};
    return sheet;
}

std::vector<TResultSheet> BuildResultSheets(const TRunState& run, const TEngineOptions& options,
                                            const TSaveChoices& choices,
                                            const TSampleCodes& codes) {
    std::vector<TResultSheet> sheets;
    const int choice = choices.outputchoice;
    if (choice == kComplete || choice == kUserDefined || choice == kCompactAndComplete) {
        const auto outcol =
            OutputColumnNumbers(choice, choices.ticked, AnnotationColumnCount(choices.tissuegrid));
        sheets.push_back(BuildCompleteSheet(run, options, choices, codes, outcol));
    }
    if (choice == kCompact || choice == kCompactAndComplete)
        sheets.push_back(BuildCompactSheet(run, options, choices, codes));
    return sheets;
}

QString DefaultSheetBase(const TRunState& run) {
    return (run.fromrdml ? q(cleanident(run.rdmlexpid)) : q(run.inputsheetname)).left(23);
}

QString OutputSheetName(const QString& base, const QString& suffix, const QStringList& existing) {
    auto taken = [&](const QString& name) { return existing.contains(name, Qt::CaseInsensitive); };
    QString name = base.left(kMaxSheetNameLength - suffix.size()).left(23) + suffix;
    for (int k = 1; taken(name); ++k) {
        const QString tail = QStringLiteral("_%1").arg(k) + suffix;
        name = base.left(std::min<int>(21, kMaxSheetNameLength - tail.size())) + tail;
    }
    return name;
}

}  // namespace qurvex
