// SPDX-License-Identifier: GPL-3.0-or-later
// The five charts of a run: all samples, the current sample, and the three
// surveys (efficiency, correlation, points in the window); their axes, the
// log/linear switch, the Y-axis commands and the copy to the clipboard.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QValueAxis>
#include <cmath>

#include "mainwindow/ChartView.h"
#include "mainwindow/Mainform.h"
#include "mainwindow/Prompter.h"
#include "mainwindow/UpDown.h"
#include "spreadsheet/RadioGroup.h"

namespace qurvex {

namespace {

// Chart colours (24-bit, blue-green-red byte order).
constexpr QRgb kWhite = bgrToRgb(0xFFFFFF);
constexpr QRgb kBlue = bgrToRgb(0xFF0000);
constexpr QRgb kRed = bgrToRgb(0x0000FF);
constexpr QRgb kGreen = bgrToRgb(0x00FF00);
constexpr QRgb kOrange = bgrToRgb(0x1F7FFF);
constexpr QRgb kYellow = bgrToRgb(0x00FFFF);
constexpr QRgb kTeal = bgrToRgb(0x808000);
constexpr QRgb kBlack = bgrToRgb(0x000000);

// Colour of a window level: 0 common, 1 amplicon group, 2 individual.
QRgb levelColour(int woltype) { return woltype == 1 ? kOrange : woltype == 2 ? kYellow : kRed; }

TChartSeries points(const char* name, TMarker marker, int size, bool clickable = false) {
    TChartSeries s;
    s.name = QString::fromLatin1(name);
    s.kind = TSeriesKind::Points;
    s.marker = marker;
    s.size = size;
    s.clickable = clickable;
    return s;
}

TChartSeries line(const char* name, QRgb colour, int width, bool overlay, bool clickable) {
    TChartSeries s;
    s.name = QString::fromLatin1(name);
    s.kind = TSeriesKind::Line;
    s.colour = colour;
    s.width = width;
    s.overlay = overlay;
    s.clickable = clickable;
    return s;
}

// A horizontal line from x = 0 to x = x1 at y (hidden when not drawn).
void setHorizontal(TChartView* chart, const char* name, bool drawn, double y, double x1) {
    TChartSeries* s = chart->Series(QString::fromLatin1(name));
    s->points.clear();
    if (drawn) s->points = {QPointF(0.0, y), QPointF(x1, y)};
    s->visible = drawn;
    chart->Changed(s->name);
}

double log10safe(double v) { return v > 0.0 ? std::log10(v) : -300.0; }

}  // namespace

// ---- series of the five charts

void Tmainform::BuildChartSeries() {
    allsampchart->AddSeries(line("Ser_allsamplines", kBlack, 1, false, false));
    allsampchart->AddSeries(points("Ser_allsamppoints", TMarker::Circle, 5));
    allsampchart->AddSeries(points("Ser_activesamppoints", TMarker::Circle, 6));
    allsampchart->AddSeries(line("ser_allwinup", kBlue, 2, true, true));
    allsampchart->AddSeries(line("ser_allwindown", kBlue, 2, true, true));
    allsampchart->AddSeries(line("FtLineall", kGreen, 2, true, true));

    samplechart->AddSeries(points("ser_sample", TMarker::Circle, 7, true));
    samplechart->AddSeries(line("ser_regr_lin", kRed, 1, true, false));
    samplechart->AddSeries(line("ser_low", kBlue, 2, true, true));
    samplechart->AddSeries(line("ser_up", kBlue, 2, true, true));
    samplechart->AddSeries(line("ftlineindiv", kGreen, 2, true, true));
    TChartSeries raw = points("bgSeries", TMarker::Diamond, 6);
    raw.colour = kRed;
    samplechart->AddSeries(raw);
    samplechart->AddSeries(line("bgline", kRed, 2, true, true));

    struct Survey {
        TChartView* chart;
        const char *data, *up, *down, *line;
        TMarker marker;
    };
    for (const Survey& v :
         {Survey{PCR_eff_Chart, "ser_pcreff", "ser_pcrchartpointup", "ser_pcrchartpointdn",
                 "ser_pcrchartpointline", TMarker::Circle},
          Survey{Correl_Chart, "ser_correl", "ser_correlchartpointup", "ser_correlchartpointdn",
                 "ser_correlchartpointline", TMarker::Diamond},
          Survey{npoints_Chart, "ser_ninclu", "ser_nchartpointup", "ser_nchartpointdn",
                 "ser_nchartpointline", TMarker::Circle}}) {
        TChartSeries data = points(v.data, v.marker, 6, true);
        if (v.chart == npoints_Chart) data.kind = TSeriesKind::Bars;
        v.chart->AddSeries(data);
        TChartSeries up = points(v.up, TMarker::TriangleUp, 9);
        TChartSeries down = points(v.down, TMarker::TriangleDown, 9);
        up.overlay = down.overlay = true;
        v.chart->AddSeries(up);
        v.chart->AddSeries(down);
        v.chart->AddSeries(line(v.line, kBlack, 1, true, false));
    }
    PCR_eff_Chart->SetYAxis(1.0, 2.0, 0.1);
    Correl_Chart->SetYAxis(0.995, 1.0, 0.001);
}

// ---- redrawing once per action

void Tmainform::RequestCharts(int parts) {
    pendingCharts_ |= parts;
    FlushChartsLater();
}

// Outside user actions and long loops the charts are drawn at the next turn
// of the event loop; inside them no sooner than 250 ms after the action
// began and after the last drawing, so that an action draws each chart once
// when it ends, and a long loop shows its progress without drawing every
// sample.
void Tmainform::FlushChartsLater() {
    if (!chartTimer_.isSingleShot()) {
        chartTimer_.setSingleShot(true);
        connect(&chartTimer_, &QTimer::timeout, this, [this] {
            if (actionDepth_ > 0 || engine_->busy()) {
                qint64 since = lastFlush_.isValid() ? lastFlush_.elapsed() : 1000;
                if (actionDepth_ > 0 && actionStart_.isValid())
                    since = std::min(since, actionStart_.elapsed());
                if (since < 250) {
                    chartTimer_.start(static_cast<int>(250 - since));
                    return;
                }
            }
            Guard([this] { FlushCharts(); });
        });
    }
    if (!chartTimer_.isActive()) chartTimer_.start(0);
}

void Tmainform::FlushCharts() {
    const int parts = pendingCharts_;
    pendingCharts_ = 0;
    chartTimer_.stop();
    lastFlush_.restart();
    if (parts & kAllSamples) DrawAllSamples();
    if (parts & kSample) DrawSample(pendingSample_);
    if (parts & kSurveys) DrawSurveys();
    if (parts & (kSurveys | kPointers)) DrawSamplePointers(CurrentSample());
}

int Tmainform::ChartDraws(const TChartView* chart) const {
    const TChartView* charts[] = {allsampchart, samplechart, PCR_eff_Chart, Correl_Chart,
                                  npoints_Chart};
    for (int i = 0; i < 5; ++i)
        if (charts[i] == chart) return chartDraws_[static_cast<std::size_t>(i)];
    return 0;
}

void Tmainform::plotallsamps() { RequestCharts(kAllSamples); }

void Tmainform::plotsample(int s) {
    pendingSample_ = s;
    RequestCharts(kSample);
}

void Tmainform::update_surveys() { RequestCharts(kSurveys); }

void Tmainform::set_sample_pointers() { RequestCharts(kPointers); }

bool Tmainform::LogMode() const { return logyaxis->isChecked(); }

// ---- all samples

void Tmainform::DrawAllSamples() {
    ++chartDraws_[0];
    const TEngine& e = *engine_;
    const int s0 = CurrentSample();
    if (s0 >= 1) {
        const QSignalBlocker block(cb_isdisplayed);
        cb_isdisplayed->setChecked(e.isdisplayed[s0] != 0);
    }
    const bool logmode = LogMode();
    TChartSeries* lines = allsampchart->Series(QStringLiteral("Ser_allsamplines"));
    TChartSeries* others = allsampchart->Series(QStringLiteral("Ser_allsamppoints"));
    TChartSeries* active = allsampchart->Series(QStringLiteral("Ser_activesamppoints"));
    for (TChartSeries* s : {lines, others, active}) {
        s->points.clear();
        s->colours.clear();
        s->breaks.clear();
    }
    for (int s = 1; s <= e.nsamples; ++s) {
        const int n = e.npoints[s];
        if (!e.isdisplayed[s] || n <= 0) continue;
        // Each sample's curve is a polyline of its own: nothing joins it to the next.
        lines->breaks.push_back(static_cast<int>(lines->points.size()));
        TChartSeries* target = s == s0 ? active : others;
        const bool takesNoPart = e.skipped[s] || e.emptywol[s];
        for (int p = 1; p <= n && p < static_cast<int>(e.fluor[s].size()); ++p) {
            QRgb colour = kRed;
            if (takesNoPart)
                colour = kWhite;
            else if (p < e.wolstart[s] || p > e.wolstop[s])
                colour = kBlue;
            else if (s == s0)
                colour = kGreen;
            const double f = e.fluor[s][p];
            const QPointF pt(e.cyc[s][p], logmode ? log10safe(f) : f);
            target->points.push_back(pt);
            target->colours.push_back(colour);
            lines->points.push_back(pt);
        }
    }

    // The limit and threshold lines in force.
    double up = 1.1, low = 0.9, ft = 1.0;
    bool limitsDrawn = false, thresholdDrawn = false;
    const int level = CommonGroupWindowRG->ItemIndex();
    const int g = ShowGroupCB->currentIndex() < 0 ? 0 : ShowGroupCB->currentIndex();
    const bool groupThresholds = ThresholdsRG->ItemIndex() == 1;
    auto at = [](const std::vector<double>& v, int i, double fallback) {
        return i >= 0 && i < static_cast<int>(v.size()) ? v[static_cast<std::size_t>(i)] : fallback;
    };
    if (level == 0) {
        up = at(e.uplim, 0, up);
        low = at(e.lowlim, 0, low);
        ft = at(e.ftval, 0, ft);
        limitsDrawn = thresholdDrawn = true;
    } else if (level == 1 && g >= 1) {
        up = at(e.gruplim, g, up);
        low = at(e.grlowlim, g, low);
        ft = at(e.ftval, groupThresholds ? g : 0, ft);
        limitsDrawn = thresholdDrawn = true;
    } else if (level == 1) {
        ft = at(e.ftval, 0, ft);
        thresholdDrawn = !groupThresholds;
    } else {
        if (!groupThresholds) {
            ft = at(e.ftval, 0, ft);
            thresholdDrawn = true;
        } else if (g >= 1) {
            ft = at(e.ftval, g, ft);
            thresholdDrawn = true;
        }
    }
    if (!logmode) {
        up = std::pow(10.0, up);
        low = std::pow(10.0, low);
        ft = std::pow(10.0, ft);
    }
    setHorizontal(allsampchart, "ser_allwinup", limitsDrawn, up, e.maxcyc);
    setHorizontal(allsampchart, "ser_allwindown", limitsDrawn, low, e.maxcyc);
    setHorizontal(allsampchart, "FtLineall", thresholdDrawn, ft, e.maxcyc);
    for (const char* name : {"Ser_allsamplines", "Ser_allsamppoints", "Ser_activesamppoints"})
        allsampchart->Changed(QString::fromLatin1(name));
}

// ---- current sample

void Tmainform::FillSampleOutputs(int s) {
    const TEngine& e = *engine_;
    correl_out->setText(Shown(e.rval[s], 5));
    PCReffout->setText(Shown(e.indiveff[s], 3));
    SetEditText(ftvaledit, Shown(e.sampftval[s], 3));
    ncurrincluedit->setText(QString::number(e.ninclu[s]));
    {
        const QSignalBlocker block(IndividualFitCB);
        useind_CB->setChecked(e.woltype[s] == 2);
        IndividualFitCB->setChecked(e.woltype[s] == 2);
    }
    const bool low = rg_fitoptions->ItemIndex() == 2 && e.rval[s] < e.options.rreqedit;
    correl_out->setStyleSheet(low ? QStringLiteral("background: red;")
                                  : QStringLiteral("background: white;"));

    SampleGrid->clearContents();
    const int n = std::max(e.npoints[s], 0);
    SampleGrid->setRowCount(n + 1);
    SampleGrid->setColumnCount(3);
    auto cell = [this](int r, int c, const QString& text) {
        if (QTableWidgetItem* it = SampleGrid->item(r, c))
            it->setText(text);
        else
            SampleGrid->setItem(r, c, new QTableWidgetItem(text));
    };
    cell(0, 0, QStringLiteral("cycle"));
    cell(0, 1, QStringLiteral("fluor"));
    cell(0, 2, QStringLiteral("on line"));
    for (int p = 1; p <= n; ++p) {
        cell(p, 0, Shown(e.cyc[s][p], 6));
        cell(p, 1, Shown(e.fluor[s][p], 3));
        cell(p, 2,
             e.wolstart[s] <= p && p <= e.wolstop[s] ? QStringLiteral("    Y")
                                                     : QStringLiteral("    N"));
    }
}

void Tmainform::DrawSample(int s) {
    ++chartDraws_[1];
    const TEngine& e = *engine_;
    TChartSeries* sample = samplechart->Series(QStringLiteral("ser_sample"));
    TChartSeries* raw = samplechart->Series(QStringLiteral("bgSeries"));
    sample->points.clear();
    sample->colours.clear();
    raw->points.clear();
    for (const char* name : {"ser_regr_lin", "ser_up", "ser_low", "ftlineindiv", "bgline"})
        setHorizontal(samplechart, name, false, 0, 0);
    samplechart->Changed(QStringLiteral("ser_sample"));
    samplechart->Changed(QStringLiteral("bgSeries"));
    if (s < 1 || s > e.nsamples) return;
    FillSampleOutputs(s);
    const bool logmode = LogMode();
    const int n = e.npoints[s];
    for (int p = 1; p <= n; ++p) {
        QRgb colour;
        if ((e.skipped[s] && e.woltype[s] != 2) || p < e.fstart[s] || p > e.fstop[s])
            colour = kWhite;
        else if (p < e.wolstart[s] || p > e.wolstop[s])
            colour = kBlue;
        else if (e.emptywol[s] || !e.baselinedone)
            colour = kBlue;
        else
            colour = levelColour(e.woltype[s]);
        const double f = e.fluor[s][p];
        sample->points.emplace_back(e.cyc[s][p], logmode ? log10safe(f) : f);
        sample->colours.push_back(colour);
    }
    auto cycleOf = [&](int p) { return p >= 1 && p <= n ? e.cyc[s][p] : 0.0; };

    TChartSeries* regr = samplechart->Series(QStringLiteral("ser_regr_lin"));
    if (e.baselinedone && (!e.skipped[s] || e.woltype[s] == 2) && logmode) {
        const double c1 = cycleOf(e.wolstart[s]), c2 = cycleOf(e.wolstop[s]);
        regr->points = {QPointF(c1, e.slope[s] * c1 + e.intercept[s]),
                        QPointF(c2, e.slope[s] * c2 + e.intercept[s])};
        regr->visible = true;
    }
    if (e.baselinedone) {
        setHorizontal(samplechart, "ser_up", true,
                      logmode ? e.uplim[s] : std::pow(10.0, e.uplim[s]), e.maxcyc);
        setHorizontal(samplechart, "ser_low", true,
                      logmode ? e.lowlim[s] : std::pow(10.0, e.lowlim[s]), e.maxcyc);
    }
    TChartSeries* ft = samplechart->Series(QStringLiteral("ftlineindiv"));
    if (e.baselinedone && logmode) {
        const double t = e.sampftval[s];
        // Horizontal threshold line, then the vertical line at Cq down to the axis.
        ft->points = {QPointF(0.0, t), QPointF(e.maxcyc, t), QPointF(e.ct[s], t),
                      QPointF(e.ct[s], samplechart->AxisY()->min())};
        ft->breaks = {2};
        ft->visible = true;
    }
    if (rawdataCB->isChecked()) {
        if (logmode && e.bgarr[s] > 0)
            setHorizontal(samplechart, "bgline", true, std::log10(e.bgarr[s]), e.maxcyc);
        for (int p = 1; p <= e.nrawpoints[s] && p < static_cast<int>(e.rawfluor[s].size()); ++p) {
            const double f = e.rawfluor[s][p];
            if (f > 0) raw->points.emplace_back(e.rawcyc[s][p], logmode ? std::log10(f) : f);
        }
    }
    for (const char* name : {"ser_sample", "bgSeries", "ser_regr_lin", "ftlineindiv"})
        samplechart->Changed(QString::fromLatin1(name));
}

// ---- surveys

void Tmainform::DrawSurveys() {
    for (int i = 2; i < 5; ++i) ++chartDraws_[static_cast<std::size_t>(i)];
    const TEngine& e = *engine_;
    const bool hidden = cb_show_hidden->isChecked();
    const bool highlight = e.meansdone && HighlightUncheckedsamples1->isChecked();
    TChartSeries* eff = PCR_eff_Chart->Series(QStringLiteral("ser_pcreff"));
    TChartSeries* cor = Correl_Chart->Series(QStringLiteral("ser_correl"));
    TChartSeries* nin = npoints_Chart->Series(QStringLiteral("ser_ninclu"));
    for (TChartSeries* s : {eff, cor, nin}) {
        s->points.clear();
        s->colours.clear();
    }
    for (int s = 1; s <= e.nsamples; ++s) {
        if (!e.isdisplayed[s] && !hidden) continue;
        const QRgb colour = levelColour(e.woltype[s]);
        const bool unflagged = !e.skipped[s] && !e.noplateau[s] && !e.effoutlier[s];
        eff->points.emplace_back(s, e.indiveff[s]);
        eff->colours.push_back(highlight && unflagged ? kTeal : colour);
        cor->points.emplace_back(s, e.rval[s]);
        cor->colours.push_back(colour);
        nin->points.emplace_back(s, e.ninclu[s]);
        nin->colours.push_back(colour);
    }
    PCR_eff_Chart->Changed(eff->name);
    Correl_Chart->Changed(cor->name);
    npoints_Chart->Changed(nin->name);
}

void Tmainform::DrawSamplePointers(int s) {
    struct Pointer {
        TChartView* chart;
        const char *data, *up, *down, *line;
    };
    for (const Pointer& v : {Pointer{PCR_eff_Chart, "ser_pcreff", "ser_pcrchartpointup",
                                     "ser_pcrchartpointdn", "ser_pcrchartpointline"},
                             Pointer{Correl_Chart, "ser_correl", "ser_correlchartpointup",
                                     "ser_correlchartpointdn", "ser_correlchartpointline"},
                             Pointer{npoints_Chart, "ser_ninclu", "ser_nchartpointup",
                                     "ser_nchartpointdn", "ser_nchartpointline"}}) {
        TChartSeries* up = v.chart->Series(QString::fromLatin1(v.up));
        TChartSeries* down = v.chart->Series(QString::fromLatin1(v.down));
        TChartSeries* ln = v.chart->Series(QString::fromLatin1(v.line));
        up->points.clear();
        down->points.clear();
        ln->points.clear();
        if (s >= 1) {
            const double lo = v.chart->AxisY()->min();
            double hi = v.chart->AxisY()->max();
            if (v.chart == npoints_Chart) {
                hi = 0.0;
                for (const QPointF& p : v.chart->Series(QString::fromLatin1(v.data))->points)
                    hi = std::max(hi, p.y());
            }
            up->points = {QPointF(s, lo)};
            down->points = {QPointF(s, hi)};
            ln->points = {QPointF(s, lo), QPointF(s, hi)};
        }
        for (TChartSeries* x : {up, down, ln}) v.chart->Changed(x->name);
    }
}

// ---- axes

void Tmainform::axeschanged() {
    const TEngine& e = *engine_;
    const double maxcyc = e.maxcyc > 0 ? e.maxcyc : 40.0;
    allsampchart->SetXRange(0.0, maxcyc);
    samplechart->SetXRange(0.0, maxcyc);
    for (TChartView* c : {PCR_eff_Chart, Correl_Chart, npoints_Chart})
        c->SetXRange(0.0, e.nsamples + 4);
    npoints_Chart->SetCountAxis(std::max(10.0, static_cast<double>(e.ncycles)));
    SetFluorescenceAxes();
}

void Tmainform::SetFluorescenceAxes() {
    const TEngine& e = *engine_;
    const bool logmode = LogMode();
    for (TChartView* c : {allsampchart, samplechart}) {
        if (logmode)
            c->SetYAxis(e.logymin, e.logymax);
        else
            c->SetYAxis(0.0, std::pow(10.0, e.logymax));
        c->AxisY()->setTitleText(logmode ? QStringLiteral("Log(Fluorescence)")
                                         : QStringLiteral("Fluorescence"));
    }
}

void Tmainform::logyaxisClick() {
    const bool logmode = LogMode();
    {
        const QSignalBlocker a(Logaxis1), b(logYaxisall);
        Logaxis1->setChecked(logmode);
        logYaxisall->setChecked(logmode);
    }
    SetFluorescenceAxes();
    plotsample(CurrentSample());
    plotallsamps();
}

void Tmainform::Log1Click() {
    // The action toggled its own check already.
    {
        const QSignalBlocker a(logyaxis), b(logYaxisall);
        logyaxis->setChecked(Logaxis1->isChecked());
        logYaxisall->setChecked(Logaxis1->isChecked());
    }
    logyaxisClick();
}

void Tmainform::logYaxisallClick() {
    {
        const QSignalBlocker a(logyaxis), b(Logaxis1);
        logyaxis->setChecked(logYaxisall->isChecked());
        Logaxis1->setChecked(logYaxisall->isChecked());
    }
    logyaxisClick();
}

// Asks for a new axis limit. Cancel changes nothing; a text that is not a
// number, a limit that is not positive in linear mode, or a minimum at or
// above the maximum (and the reverse) is refused with a message.
bool Tmainform::AskAxisLimit(bool maximum) {
    const TEngine& e = *engine_;
    const bool logmode = LogMode();
    const double current = maximum ? e.logymax : e.logymin;
    const QString prompt =
        logmode
            ? (maximum ? QStringLiteral("give LOG maximum") : QStringLiteral("give LOG minimum"))
            : (maximum ? QStringLiteral("give maximum") : QStringLiteral("give minimum"));
    const QString proposal = logmode ? Shown(current, 1) : Shown(std::pow(10.0, current), 2);
    const std::optional<QString> answer =
        Prompter().askText(QStringLiteral("set Y axis"), prompt, proposal);
    if (!answer) return false;
    const auto number = EditNumber(*answer);
    if (!number) return false;
    const double v = *number;
    if (!logmode && v <= 0.0) {
        Prompter().message(TPromptKind::Error, QStringLiteral("Error"),
                           QStringLiteral("the axis limit must be above 0 on a linear axis"));
        return false;
    }
    const double stored = logmode ? v : std::log10(v);
    if (maximum ? stored <= e.logymin : stored >= e.logymax) {
        Prompter().message(TPromptKind::Error, QStringLiteral("Error"),
                           QStringLiteral("the minimum of the axis must lie below its maximum"));
        return false;
    }
    engine_->setaxislimit(maximum, stored);
    logyaxisClick();
    return true;
}

void Tmainform::MinFluor1Click() { AskAxisLimit(false); }

void Tmainform::MaxFluor1Click() { AskAxisLimit(true); }

void Tmainform::resetYaxis1Click() {
    engine_->resetYaxis1Click();
    logyaxisClick();
}

// Efficiency axis: 1..2 by 0.1, or fitted to the displayed samples (upper
// end rounded up to a half, lower end down to a whole number).
void Tmainform::cb_pcr_axisClick() {
    const TEngine& e = *engine_;
    if (!cb_pcr_axis->isChecked()) {
        PCR_eff_Chart->SetYAxis(1.0, 2.0, 0.1);
        cb_pcr_axis->setText(QStringLiteral("adjust Y-axis"));
    } else {
        double lowest = 15.0, highest = 0.0;
        for (int s = 1; s <= e.nsamples; ++s) {
            if (!e.isdisplayed[s]) continue;
            lowest = std::min(lowest, e.indiveff[s]);
            highest = std::max(highest, e.indiveff[s]);
        }
        const double max = highest <= 2.0 ? 2.0 : (std::trunc(highest / 0.5) + 1.0) * 0.5;
        const double min = lowest >= 1.0 ? 1.0 : std::trunc(lowest);
        PCR_eff_Chart->SetYAxis(min, max, (max - min) / 5.0);
        cb_pcr_axis->setText(QStringLiteral("reset axis"));
    }
    set_sample_pointers();
}

// Correlation axis: 0.995..1 by 0.001, or the lowest..highest r of all
// samples. Equal values (or none) get a range padded by 0.001 each way.
void Tmainform::CB_corr_axisClick() {
    const TEngine& e = *engine_;
    if (!CB_corr_axis->isChecked()) {
        Correl_Chart->SetYAxis(0.995, 1.0, 0.001);
        CB_corr_axis->setText(QStringLiteral("adjust Y-axis"));
    } else {
        double lowest = 1.0, highest = 0.0;
        for (int s = 1; s <= e.nsamples; ++s) {
            lowest = std::min(lowest, e.rval[s]);
            highest = std::max(highest, e.rval[s]);
        }
        if (!(highest > lowest)) {
            const double centre = e.nsamples >= 1 ? lowest : 1.0;
            lowest = centre - 0.001;
            highest = centre + 0.001;
        }
        Correl_Chart->SetYAxis(lowest, highest, (highest - lowest) / 5.0);
        CB_corr_axis->setText(QStringLiteral("reset axis"));
    }
    set_sample_pointers();
}

void Tmainform::allsampchartMouseDown(TChartView* chart, Qt::MouseButton button) {
    if (button != Qt::RightButton || !chart) return;
    QGuiApplication::clipboard()->setPixmap(chart->grab());
    Prompter().message(TPromptKind::Information, QStringLiteral("Information"),
                       QStringLiteral("this graph is copied to clipboard"));
}

// ---- which samples are shown

void Tmainform::cb_isdisplayedClick() {
    engine_->setdisplayed(samplenum2->text().toInt(), cb_isdisplayed->isChecked());
}

void Tmainform::showallButClick() {
    {
        const QSignalBlocker block(ShowGroupCB);
        ShowGroupCB->setCurrentIndex(0);
    }
    ShowGroupUD->SetPosition(0);
    engine_->showallButClick();
}

void Tmainform::cb_show_hiddenClick() { update_surveys(); }

}  // namespace qurvex
