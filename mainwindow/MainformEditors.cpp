// SPDX-License-Identifier: GPL-3.0-or-later
// Moving through the samples and setting the window limits and thresholds:
// by typing, by the up-downs, by dragging the lines of the fluorescence
// charts and by clicking points. Texts are read here; every limit goes to
// the engine as a number through its cuplimeditChange, every threshold
// through its ctcalcButtonClick.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "mainwindow/ChartView.h"
#include "mainwindow/Mainform.h"
#include "mainwindow/Prompter.h"
#include "mainwindow/UpDown.h"
#include "spreadsheet/NumberNotation.h"
#include "spreadsheet/RadioGroup.h"

namespace qurvex {

namespace {

constexpr TLimitEdit kEdits[] = {TLimitEdit::cuplimedit,  TLimitEdit::clowlimedit,
                                 TLimitEdit::GrUpLimEdit, TLimitEdit::GrLowLimEdit,
                                 TLimitEdit::iuplimedit,  TLimitEdit::ilowlimedit};

bool isUpper(TLimitEdit e) {
    return e == TLimitEdit::cuplimedit || e == TLimitEdit::GrUpLimEdit ||
           e == TLimitEdit::iuplimedit;
}

// The other limit edit of the same level.
TLimitEdit partnerOf(TLimitEdit e) {
    const int i = static_cast<int>(e);
    return static_cast<TLimitEdit>(i % 2 == 0 ? i + 1 : i - 1);
}

std::size_t ix(TLimitEdit e) { return static_cast<std::size_t>(e); }

double round3(double v) { return std::round(v * 1000.0) / 1000.0; }

}  // namespace

// ---- numbers as the user sees them

QString Tmainform::Shown(double v, int decimals) const { return Shown(roundedtext(v, decimals)); }

QString Tmainform::Shown(const std::string& canonical) const {
    QString t = QString::fromStdString(canonical);
    if (engine_->decsep != '.') t.replace(QLatin1Char('.'), QLatin1Char(engine_->decsep));
    return t;
}

std::optional<double> Tmainform::EditNumber(const QString& shown) {
    const auto number = FieldNumber(shown.trimmed(), QLatin1Char(engine_->decsep));
    if (!number)
        Prompter().message(TPromptKind::Error, QStringLiteral("Error"),
                           QStringLiteral("'%1' is not a valid floating point value").arg(shown));
    return number;
}

void Tmainform::SetEditText(QLineEdit* edit, const QString& text) {
    const QSignalBlocker block(edit);
    edit->setText(text);
}

QLineEdit* Tmainform::LimitEdit(TLimitEdit e) const {
    QLineEdit* const edits[] = {cuplimedit,   clowlimedit, GrUpLimEdit,
                                GrLowLimEdit, iuplimedit,  ilowlimedit};
    return edits[ix(e)];
}

QLineEdit* Tmainform::FluorEdit(TLimitEdit e) const {
    QLineEdit* const edits[] = {cupfluoredit,   clowfluoredit, GrUpFluorEdit,
                                GrLowFluorEdit, iupfluoredit,  ilowfluoredit};
    return edits[ix(e)];
}

TUpDown* Tmainform::LimitUpDown(TLimitEdit e) const {
    TUpDown* const uds[] = {cupUD, clowUD, GrUpUD, GrLowUD, iupUD, ilowUD};
    return uds[ix(e)];
}

// ---- the engine wrote something

// The shown limit as the edit writes it: 3 decimals, or every decimal of a
// limit clamped to an axis bound.
static std::string limitText(double v) {
    if (std::isnan(v)) return {};
    const std::string rounded = roundedtext(v, 3);
    if (shownvalue(v, 3) == v) return rounded;
    return QString::number(v, 'g', QLocale::FloatingPointShortest).toStdString();
}

void Tmainform::limiteditchanged(TLimitEdit edit) {
    const TEngine& e = *engine_;
    SetEditText(LimitEdit(edit), Shown(limitText(e.limitshown[ix(edit)])));
    const double f = e.fluorshown[ix(edit)];
    SetEditText(FluorEdit(edit), std::isnan(f) ? QString() : Shown(f, 3));
}

void Tmainform::AmpGroupNumEditchanged() {
    const TEngine& e = *engine_;
    const QString group = e.AmpGroupNumEdit >= 0 ? QString::number(e.AmpGroupNumEdit) : QString();
    SetEditText(AmpGroupNumEdit, group);
    if (e.AmpGroupNumEdit >= 0) {
        AmpGrNumUD->SetRange(std::min(AmpGrNumUD->Min(), e.AmpGroupNumEdit),
                             std::max(AmpGrNumUD->Max(), e.AmpGroupNumEdit));
        AmpGrNumUD->SetPosition(e.AmpGroupNumEdit);
    }
    SetEditText(IndivAmpGroupEdit,
                e.IndivAmpGroupEdit >= 0 ? QString::number(e.IndivAmpGroupEdit) : QString());
}

void Tmainform::ftvaleditchanged() {
    const double v = engine_->ftvalshown;
    SetEditText(ftvaledit, std::isnan(v) ? QString() : Shown(v, 3));
}

void Tmainform::samplenumChange(int s) {
    const TEngine& e = *engine_;
    if (s < 1 || s > e.nsamples) return;
    for (TUpDown* u : {sampUD, sampud2, sampud3}) {
        u->SetRange(1, e.nsamples);
        u->SetPosition(s);
    }
    {
        const QSignalBlocker block(MarkAsSkippedCB);
        MarkAsSkippedCB->setChecked(e.skipped[s] != 0);
    }
    const bool error = e.bgerror[s] && !e.manualbg[s];
    BaselineErrorLabel->setVisible(error);
    IgnoreBLerrorButton->setVisible(error);
    MarkAsSkippedCB->setVisible(!error);
    SetEditText(bgedit, Shown(e.bgarr[s], 4));
    bgUpDown->SetPosition(500);
    const QString number = QString::number(s);
    for (QLineEdit* edit : {samplenum, samplenum2, samplenum3}) SetEditText(edit, number);
    samplename->setText(QString::fromStdString(e.sampname[s]));
    {
        const QSignalBlocker block(IndividualFitCB);
        useind_CB->setChecked(e.woltype[s] == 2);
        IndividualFitCB->setChecked(e.woltype[s] == 2);
    }
    samplechart->chart()->setTitle(
        QStringLiteral("sample [%1]: %2").arg(number, QString::fromStdString(e.sampname[s])));
}

// ---- sample navigation

void Tmainform::samplenumEdited(const QString& text) {
    bool ok = false;
    const int s = text.trimmed().toInt(&ok);
    if (!ok || s < 1 || s > engine_->nsamples) return;  // typing in progress
    engine_->selectsample(s);
}

// The up-downs wrap around and skip the hidden samples in the arrow's
// direction; with no sample displayed the current one stays.
void Tmainform::sampUDClick(TUpDown* updown, int button) {
    const TEngine& e = *engine_;
    if (e.nsamples < 1) return;
    int p = std::clamp(updown->Position(), 1, e.nsamples);
    const int step = button == static_cast<int>(TUpDown::TUDBtnType::btNext) ? 1 : -1;
    int tries = 0;
    while (!e.isdisplayed[p] && tries < e.nsamples) {
        p += step;
        if (p > e.nsamples) p = 1;
        if (p < 1) p = e.nsamples;
        ++tries;
    }
    if (!e.isdisplayed[p]) {
        updown->SetPosition(CurrentSample());
        return;
    }
    updown->SetPosition(p);
    engine_->selectsample(p);
}

void Tmainform::ser_nincluClick(TChartView* chart, int point) {
    const TChartSeries& s = chart->SeriesAt(0);
    if (point < 0 || point >= static_cast<int>(s.points.size())) return;
    const int sample = static_cast<int>(std::lround(s.points[static_cast<std::size_t>(point)].x()));
    if (sample < 1 || sample > engine_->nsamples) return;
    sampUD->SetPosition(sample);
    SetEditText(samplenum, QString::number(sample));
    samplenumEdited(samplenum->text());
}

// ---- window limits

// Limits that cross give no window: an upper limit at or below the lower one
// (or the reverse) is refused with a message. The other limit is the one its
// edit shows, so that two typed limits are checked against each other.
bool Tmainform::LimitsCross(TLimitEdit edit, double v) {
    const double other = engine_->limitshown[ix(partnerOf(edit))];
    if (std::isnan(other)) return false;
    const bool cross = isUpper(edit) ? v <= other : v >= other;
    if (cross)
        Prompter().message(
            TPromptKind::Error, QStringLiteral("Error"),
            QStringLiteral("the upper limit of the window must lie above its lower limit"));
    return cross;
}

// The edit shows the limit in force again.
void Tmainform::RestoreLimitEdit(TLimitEdit edit) {
    const TEngine& e = *engine_;
    const int s = CurrentSample();
    const int g = s >= 1 ? e.groupofsample(s) : -1;
    const bool upper = isUpper(edit);
    double v = upper ? 1.1 : 0.9;
    switch (edit) {
        case TLimitEdit::cuplimedit:
        case TLimitEdit::clowlimedit:
            v = upper ? e.uplim[0] : e.lowlim[0];
            break;
        case TLimitEdit::GrUpLimEdit:
        case TLimitEdit::GrLowLimEdit:
            if (g >= 1 && g < static_cast<int>(e.gruplim.size()))
                v = upper ? e.gruplim[g] : e.grlowlim[g];
            break;
        default:
            if (s >= 1) v = upper ? e.uplim[s] : e.lowlim[s];
    }
    engine_->setlimitedit(edit, v);
}

void Tmainform::cuplimeditEnter(TLimitEdit edit) {
    engine_->beginlimitedit();
    if (edit == TLimitEdit::cuplimedit || edit == TLimitEdit::clowlimedit)
        applycommonbut->setEnabled(true);
    else if (edit == TLimitEdit::GrUpLimEdit || edit == TLimitEdit::GrLowLimEdit)
        ApplyGroupButton->setEnabled(true);
    else
        applyindivbut->setEnabled(true);
}

void Tmainform::cuplimeditExit(TLimitEdit) { engine_->endlimitedit(); }

// Applies the two typed limits of a level: the lower one first without a
// refit, then the upper one with the refit.
static bool applyPair(Tmainform& w, TEngine& e, TLimitEdit low, TLimitEdit up) {
    double vl = 0.0, vu = 0.0;
    // Empty or "-" is typing in progress and applies nothing; other text that
    // is not a number is refused with a message.
    auto read = [&w](TLimitEdit edit, double& v) {
        const QString text = w.LimitEdit(edit)->text().trimmed();
        v = TRunState::kNoValue;
        if (text.isEmpty() || text == QLatin1String("-")) return true;
        const auto number = w.EditNumber(text);
        if (number) v = *number;
        return number.has_value();
    };
    if (!read(low, vl) || !read(up, vu)) return false;
    if (vu <= vl) {
        w.Prompter().message(
            TPromptKind::Error, QStringLiteral("Error"),
            QStringLiteral("the upper limit of the window must lie above its lower limit"));
        return false;
    }
    e.applylimitpair(low, vl, up, vu);
    return true;
}

void Tmainform::applycommonbutClick() {
    if (RefuseWhileBusy() || engine_->nsamples < 1) return;
    if (!applyPair(*this, *engine_, TLimitEdit::clowlimedit, TLimitEdit::cuplimedit)) {
        RestoreLimitEdit(TLimitEdit::clowlimedit);
        RestoreLimitEdit(TLimitEdit::cuplimedit);
    }
    applycommonbut->setEnabled(false);
}

void Tmainform::applyindivbutClick() {
    if (RefuseWhileBusy() || engine_->nsamples < 1) return;
    if (!applyPair(*this, *engine_, TLimitEdit::ilowlimedit, TLimitEdit::iuplimedit)) {
        RestoreLimitEdit(TLimitEdit::ilowlimedit);
        RestoreLimitEdit(TLimitEdit::iuplimedit);
    }
    applyindivbut->setEnabled(false);
}

// A step of a fiftieth of the axis range up or down.
void Tmainform::cupUDClick(TLimitEdit edit, int button) {
    TEngine& e = *engine_;
    if (RefuseWhileBusy() || e.nsamples < 1) return;
    const double step = std::fabs(e.logymax - e.logymin) / 50.0;
    e.endlimitedit();
    const auto shown = EditNumber(LimitEdit(edit)->text());
    if (!shown) return;
    const double v =
        round3(*shown + (button == static_cast<int>(TUpDown::TUDBtnType::btNext) ? step : -step));
    if (LimitsCross(edit, v)) {
        RestoreLimitEdit(edit);
        return;
    }
    e.applylimitedit(edit, v);
}

void Tmainform::cupfluoreditChange(TLimitEdit edit) {
    TEngine& e = *engine_;
    QLineEdit* fe = FluorEdit(edit);
    const QString text = fe->text().trimmed();
    if (text.isEmpty() || e.nsamples < 1) return;
    const auto number = EditNumber(text);
    if (!number) return;
    double v = *number;
    if (v < 0.0001) return;
    const double hi = std::pow(10.0, e.logymax), lo = std::pow(10.0, e.logymin);
    if (v > hi || v < lo) {
        v = v > hi ? hi : lo;
        SetEditText(fe, Shown(v, 3));
    }
    const double limit = round3(std::log10(v));
    if (LimitsCross(edit, limit)) {
        RestoreLimitEdit(edit);
        return;
    }
    e.endlimitedit();
    e.applylimitedit(edit, limit);
}

// ---- dragging the lines of the fluorescence charts

void Tmainform::EndDrag() {
    engine_->enddrag();
    dragChart_ = nullptr;
    dragOutOfRange_ = false;
    SetDragCursor(false);
}

void Tmainform::ShowIndividualEditor() {
    IndividualPC->setVisible(true);
    SetTabVisible(TabSheet_window, true);
    ActivatePage(TabSheet_window);
    SetTabVisible(TabSheet_baseline, BaselineCorrection1->isChecked());
    Individual1->setChecked(true);
    ActivatePage(TabSheetWoL);
}

void Tmainform::ShowCommonOrGroupEditor() {
    const bool groups = engine_->groupsdefined;
    CommonOrGroupPC->setVisible(true);
    if (CommonGroupWindowRG->ItemIndex() == 0) {
        SetTabVisible(TabSheetCommonWindow, true);
        ActivatePage(TabSheetCommonWindow);
        SetTabVisible(TabSheetGroupWindow, groups && AmpliconGroups1->isChecked());
        Common1->setChecked(true);
    } else {
        SetTabVisible(TabSheetGroupWindow, groups);
        if (groups) ActivatePage(TabSheetGroupWindow);
        SetTabVisible(TabSheetCommonWindow, Common1->isChecked());
        AmpliconGroups1->setChecked(true);
    }
    ActivatePage(TabSheetWoL);
}

// A chart value as a log10 limit: the charts show log10 values in log mode;
// in linear mode the fluorescence is turned into its log10 (NaN for <= 0).
static double asLog(bool logmode, double y) {
    return logmode ? y : (y > 0.0 ? std::log10(y) : std::nan(""));
}

void Tmainform::ser_upClick(TChartView* chart, int series, QPointF value) {
    TEngine& e = *engine_;
    if (e.nsamples < 1) return;
    const QString name = chart->SeriesAt(series).name;
    if (!e.dragging) {
        const bool upper = name == QLatin1String("ser_up") || name == QLatin1String("ser_allwinup");
        e.startdrag(upper ? 1 : 2, series);
        dragChart_ = chart;
        dragOutOfRange_ = false;
        SetDragCursor(true);
        return;
    }
    const double v = round3(asLog(LogMode(), value.y()));
    const bool upper = e.dragupper;
    EndDrag();
    if (!std::isfinite(v)) {
        RequestCharts(kAllSamples | kSample);
        return;
    }
    TLimitEdit edit;
    if (chart == samplechart)
        edit = upper ? TLimitEdit::iuplimedit : TLimitEdit::ilowlimedit;
    else if (CommonGroupWindowRG->ItemIndex() == 0)
        edit = upper ? TLimitEdit::cuplimedit : TLimitEdit::clowlimedit;
    else
        edit = upper ? TLimitEdit::GrUpLimEdit : TLimitEdit::GrLowLimEdit;
    if (LimitsCross(edit, v)) {
        RestoreLimitEdit(edit);
    } else {
        e.applylimitedit(edit, v);
    }
    // The dropped line is drawn again from the limits in force.
    RequestCharts(kAllSamples | kSample);
    if (chart == samplechart)
        ShowIndividualEditor();
    else
        ShowCommonOrGroupEditor();
}

void Tmainform::ftlineindivClick(TChartView* chart, int series, QPointF value) {
    TEngine& e = *engine_;
    if (e.nsamples < 1) return;
    if (!e.dragging) {
        e.startdrag(3, series);
        dragChart_ = chart;
        SetDragCursor(true);
        return;
    }
    EndDrag();
    const double v = round3(asLog(LogMode(), value.y()));
    if (!std::isfinite(v)) {
        RequestCharts(kAllSamples | kSample);
        return;
    }
    SetEditText(ftvaledit, Shown(v, 3));
    e.markthresholdedited();
    ctcalcButtonClick();
    ActivatePage(TabSheetThreshold);
}

void Tmainform::bglineClick(TChartView* chart, int series, QPointF value) {
    TEngine& e = *engine_;
    if (e.nsamples < 1) return;
    if (!e.dragging) {
        e.startdrag(4, series);
        dragChart_ = chart;
        SetDragCursor(true);
        return;
    }
    EndDrag();
    const int s = CurrentSample();
    ApplyManualBaseline(s, std::pow(10.0, value.y()));
    RequestCharts(kSample);
    IndividualPC->setVisible(true);
    SetTabVisible(TabSheet_baseline, true);
    ActivatePage(TabSheet_baseline);
    SetTabVisible(TabSheet_window, Individual1->isChecked());
    BaselineCorrection1->setChecked(false);
}

// While a line is dragged it follows the mouse. A limit line is drawn only
// inside the axis and on its side of the other limit line of the chart;
// elsewhere it is hidden (with a beep on leaving the allowed range).
void Tmainform::samplechartMouseMove(TChartView* chart, QPointF value) {
    const TEngine& e = *engine_;
    if (!e.dragging || chart != dragChart_) return;
    if (e.dragseries < 0 || e.dragseries >= chart->SeriesCount()) return;
    TChartSeries& s = chart->SeriesAt(e.dragseries);
    const double y = value.y();
    const double x1 = e.maxcyc;
    bool allowed = true;
    if (e.dragline == 1 || e.dragline == 2) {
        const double lo = chart->AxisY()->min(), hi = chart->AxisY()->max();
        allowed = y >= lo && y <= hi;
        const char* partner = chart == samplechart
                                  ? (e.dragline == 1 ? "ser_low" : "ser_up")
                                  : (e.dragline == 1 ? "ser_allwindown" : "ser_allwinup");
        const TChartSeries* other = chart->Series(QString::fromLatin1(partner));
        if (allowed && other && other->visible && !other->points.empty()) {
            const double oy = other->points.front().y();
            allowed = e.dragline == 1 ? y > oy : y < oy;
        }
    }
    if (!allowed) {
        if (!dragOutOfRange_) beep();
        dragOutOfRange_ = true;
        s.visible = false;
    } else {
        dragOutOfRange_ = false;
        s.points = {QPointF(0.0, y), QPointF(x1, y)};
        s.breaks.clear();
        s.visible = true;
    }
    chart->Changed(e.dragseries);
}

// A click on a point of the sample chart moves the nearer limit just past
// the point, so that the point joins or leaves the window; the sample then
// has an individual window.
void Tmainform::ser_sampleClick(int point) {
    TEngine& e = *engine_;
    const int s = CurrentSample();
    if (s < 1 || RefuseWhileBusy()) return;
    const int p = point + 1;
    if (p < 1 || p > e.npoints[s] || !(e.fluor[s][p] > 0.0)) return;
    const double y = std::log10(e.fluor[s][p]);
    double sum = 0.0;
    int n = 0;
    for (int q = std::max(e.wolstart[s], 1); q <= std::min(e.wolstop[s], e.npoints[s]); ++q)
        if (e.fluor[s][q] > 0.0) {
            sum += std::log10(e.fluor[s][q]);
            ++n;
        }
    const double m = n > 0 ? sum / n : 0.5 * (e.uplim[s] + e.lowlim[s]);
    TLimitEdit edit;
    double v;
    if (y > m) {
        edit = TLimitEdit::iuplimedit;
        v = y > e.uplim[s] ? y + 0.01 : y - 0.01;
    } else {
        edit = TLimitEdit::ilowlimedit;
        v = y >= e.lowlim[s] ? y + 0.01 : y - 0.01;
    }
    e.endlimitedit();
    engine_->setlimitedit(TLimitEdit::iuplimedit, e.uplim[s]);
    engine_->setlimitedit(TLimitEdit::ilowlimedit, e.lowlim[s]);
    v = round3(v);
    if (LimitsCross(edit, v)) return;
    e.applylimitedit(edit, v);
    ShowIndividualEditor();
}

// ---- threshold

// Keystroke filter: a last character other than a digit, the decimal
// separator or "-" is removed; an accepted one marks the threshold changed.
void Tmainform::ftvaleditChange(const QString& text) {
    if (text.isEmpty()) return;
    const QChar last = text.back();
    const bool accepted = last.isDigit() || last == QLatin1Char('-') || last == QLatin1Char('.') ||
                          last == QLatin1Char(engine_->decsep);
    if (accepted) {
        engine_->markthresholdedited();
        ctcalcButton->setVisible(true);
        return;
    }
    SetEditText(ftvaledit, text.left(text.size() - 1));
    ftvaledit->setCursorPosition(ftvaledit->text().size());
}

void Tmainform::ctcalcButtonClick() {
    if (RefuseWhileBusy()) return;
    const QString text = ftvaledit->text().trimmed();
    if (const auto v = EditNumber(text)) engine_->ctcalcButtonClick(*v);
}

void Tmainform::ThresholdsRGClick() {
    if (RefuseWhileBusy()) {
        ShowWindowChoice();
        return;
    }
    TEngine& e = *engine_;
    const int window = CommonGroupWindowRG->ItemIndex();
    if (ThresholdsRG->ItemIndex() == 1 && (window == 0 || (window == 2 && !e.groupsdefined)))
        ThresholdsRG->SetItemIndex(0);
    PushOptions();
    if (e.nsamples < 1) return;
    e.AssignFtVal(1, e.nsamples);
    e.samplenumChange();
    pumpmessages();
}

void Tmainform::reset_all_butClick() {
    if (engine_->nsamples < 1 || RefuseWhileBusy()) return;
    engine_->reset_all_butClick();
    ActivatePage(TabSheetCommonWindow);
}

// ---- wiring of the charts and editors

void Tmainform::ConnectChartsAndEditors() {
    for (TChartView* c : {allsampchart, samplechart, PCR_eff_Chart, Correl_Chart, npoints_Chart}) {
        connect(c, &TChartView::rightClicked, this,
                [this, c] { Guard([this, c] { allsampchartMouseDown(c, Qt::RightButton); }); });
    }
    for (TChartView* c : {allsampchart, samplechart}) {
        connect(c, &TChartView::lineClicked, this, [this, c](int clicked, QPointF value) {
            Guard([this, c, clicked, value] {
                int series = clicked;
                TEngine& e = *engine_;
                // While a line is dragged, a click anywhere on its chart drops it
                // where it is drawn.
                if (e.dragging) {
                    if (c != dragChart_ || e.dragseries < 0 || e.dragseries >= c->SeriesCount())
                        return;
                    if (!c->SeriesAt(e.dragseries).visible) {
                        beep();
                        return;
                    }
                    series = e.dragseries;
                }
                const QString name = c->SeriesAt(series).name;
                if (name == QLatin1String("FtLineall") || name == QLatin1String("ftlineindiv"))
                    ftlineindivClick(c, series, value);
                else if (name == QLatin1String("bgline"))
                    bglineClick(c, series, value);
                else
                    ser_upClick(c, series, value);
            });
        });
        auto dropAnywhere = [this, c](QPointF value) {
            if (engine_->dragging && c == dragChart_)
                emit c->lineClicked(engine_->dragseries, value);
        };
        connect(c, &TChartView::chartClicked, this, dropAnywhere);
        connect(c, &TChartView::pointClicked, this,
                [this, c, dropAnywhere](int series, int point, QPointF value) {
                    if (engine_->dragging) {
                        dropAnywhere(value);
                        return;
                    }
                    if (c == samplechart && c->SeriesAt(series).name == QLatin1String("ser_sample"))
                        Guard([this, point] { ser_sampleClick(point); });
                });
        connect(c, &TChartView::mouseMovedTo, this, [this, c](QPointF value) {
            Guard([this, c, value] { samplechartMouseMove(c, value); });
        });
    }
    for (TChartView* c : {PCR_eff_Chart, Correl_Chart, npoints_Chart})
        connect(c, &TChartView::pointClicked, this, [this, c](int, int point, QPointF) {
            Guard([this, c, point] { ser_nincluClick(c, point); });
        });

    for (TLimitEdit edit : kEdits) {
        QLineEdit* le = LimitEdit(edit);
        QLineEdit* fe = FluorEdit(edit);
        le->installEventFilter(this);
        fe->installEventFilter(this);
        le->setProperty("qurvexLimit", static_cast<int>(edit));
        fe->setProperty("qurvexFluor", static_cast<int>(edit));
        connect(LimitUpDown(edit), &TUpDown::Click, this, [this, edit](TUpDown::TUDBtnType b) {
            Guard([this, edit, b] { cupUDClick(edit, static_cast<int>(b)); });
        });
        connect(fe, &QLineEdit::returnPressed, this, [this, edit, fe] {
            fe->setModified(false);
            Guard([this, edit] { cupfluoreditChange(edit); });
        });
    }
    if (auto* b = Control<QPushButton>("reset_samp_But"))
        connect(b, &QPushButton::clicked, this,
                [this] { Guard([this] { reset_samp_ButClick(); }); });
    if (auto* b = Control<QPushButton>("reset_all_but"))
        connect(b, &QPushButton::clicked, this,
                [this] { Guard([this] { reset_all_butClick(); }); });
    connect(applycommonbut, &QPushButton::clicked, this,
            [this] { Guard([this] { applycommonbutClick(); }); });
    connect(applyindivbut, &QPushButton::clicked, this,
            [this] { Guard([this] { applyindivbutClick(); }); });

    for (QLineEdit* edit : {samplenum, samplenum3})
        connect(edit, &QLineEdit::textEdited, this,
                [this](const QString& t) { Guard([this, t] { samplenumEdited(t); }); });
    for (TUpDown* u : {sampUD, sampud2, sampud3})
        connect(u, &TUpDown::Click, this, [this, u](TUpDown::TUDBtnType b) {
            Guard([this, u, b] { sampUDClick(u, static_cast<int>(b)); });
        });

    connect(ftvaledit, &QLineEdit::textEdited, this,
            [this](const QString& t) { Guard([this, t] { ftvaleditChange(t); }); });
    connect(ctcalcButton, &QPushButton::clicked, this,
            [this] { Guard([this] { ctcalcButtonClick(); }); });
    connect(ThresholdsRG, &TRadioGroup::Click, this,
            [this] { Guard([this] { ThresholdsRGClick(); }); });
    connect(bgedit, &QLineEdit::textEdited, this,
            [this](const QString& t) { Guard([this, t] { bgeditChange(t); }); });
    connect(bgUpDown, &TUpDown::Click, this, [this](TUpDown::TUDBtnType b) {
        Guard([this, b] { bgUpDownClick(static_cast<int>(b)); });
    });
    connect(indivBaselineButton, &QPushButton::clicked, this,
            [this] { Guard([this] { indivBaselineButtonClick(); }); });
    connect(IgnoreBLerrorButton, &QPushButton::clicked, this,
            [this] { Guard([this] { IgnoreBLerrorButtonClick(); }); });

    connect(logyaxis, &QCheckBox::clicked, this, [this] { Guard([this] { logyaxisClick(); }); });
    connect(rawdataCB, &QCheckBox::clicked, this, [this] { Guard([this] { logyaxisClick(); }); });
    connect(logYaxisall, &QCheckBox::clicked, this,
            [this] { Guard([this] { logYaxisallClick(); }); });
    connect(Logaxis1, &QAction::triggered, this, [this] { Guard([this] { Log1Click(); }); });
    connect(MinFluor1, &QAction::triggered, this, [this] { Guard([this] { MinFluor1Click(); }); });
    connect(MaxFluor1, &QAction::triggered, this, [this] { Guard([this] { MaxFluor1Click(); }); });
    connect(resetYaxis1, &QAction::triggered, this,
            [this] { Guard([this] { resetYaxis1Click(); }); });
    connect(cb_pcr_axis, &QCheckBox::clicked, this,
            [this] { Guard([this] { cb_pcr_axisClick(); }); });
    connect(CB_corr_axis, &QCheckBox::clicked, this,
            [this] { Guard([this] { CB_corr_axisClick(); }); });
    connect(cb_isdisplayed, &QCheckBox::clicked, this,
            [this] { Guard([this] { cb_isdisplayedClick(); }); });
    connect(showallBut, &QPushButton::clicked, this,
            [this] { Guard([this] { showallButClick(); }); });
    connect(cb_show_hidden, &QCheckBox::clicked, this,
            [this] { Guard([this] { cb_show_hiddenClick(); }); });
}

}  // namespace qurvex
