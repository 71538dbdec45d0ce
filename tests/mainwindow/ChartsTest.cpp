// SPDX-License-Identifier: GPL-3.0-or-later
// Charts and editors on a synthetic run: colours and lines per window level,
// axis rules, window limits typed, stepped, dragged and clicked, sample
// navigation, threshold, manual baseline, the Y-axis boxes, and one redraw
// per user action. Pictures of the charts go to the artefacts.
#include <QApplication>
#include <QMouseEvent>
#include <QValueAxis>
#include <cmath>

#include "mainwindow/ChartView.h"
#include "mainwindow/UpDown.h"
#include "tests/engine/support/SyntheticRun.h"
#include "tests/mainwindow/WindowTest.h"

using namespace qurvex;
using qurvex::testing::snapshot;
using qurvex::testing::TWindowFixture;

namespace {

constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kGreen = qRgb(0, 255, 0);
constexpr QRgb kOrange = qRgb(255, 127, 31);
constexpr QRgb kYellow = qRgb(255, 255, 0);

// A plate of `wells` wells of two targets, read and with baselines set.
TEngine& loadRun(Tmainform& w, int wells, bool baselines = true) {
    TEngine& e = w.Engine();
    qurvex::testing::loadSyntheticRun(e, qurvex::testing::makePlate(wells, 2, 0.0, 7));
    e.ProcessDataAfterRead();
    if (baselines) w.Determinebaselines1->trigger();
    w.FlushCharts();
    return e;
}

const TChartSeries& series(TChartView* c, const char* name) {
    return *c->Series(QString::fromLatin1(name));
}

void clickAt(TChartView* c, QPointF value) {
    QTest::mouseClick(c->viewport(), Qt::LeftButton, {}, c->PixelOf(value).toPoint());
}

void moveTo(TChartView* c, QPointF value) {
    const QPointF pos = c->PixelOf(value);
    QMouseEvent ev(QEvent::MouseMove, pos, c->viewport()->mapToGlobal(pos), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(c->viewport(), &ev);
}

// First amplifying sample using the common window.
int commonSample(const TEngine& e) {
    for (int s = 1; s <= e.nsamples; ++s)
        if (!e.skipped[s] && e.woltype[s] == 0 && !e.emptywol[s] && e.wolstop[s] > e.wolstart[s])
            return s;
    return 0;
}

void makeCurrent(Tmainform& w, int s) {
    w.Engine().samplenum = s;
    w.Engine().samplenumChange();
    w.FlushCharts();
}

}  // namespace

class ChartsTest : public QObject {
    Q_OBJECT
private slots:
    void allSamples_pointColoursAndLinesPerLevel() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadRun(w, 24);
        const int s0 = commonSample(e);
        QVERIFY(s0 > 0);
        makeCurrent(w, s0);
        // The current sample: green inside its window, blue outside.
        const TChartSeries& active = series(w.allsampchart, "Ser_activesamppoints");
        QCOMPARE(static_cast<int>(active.points.size()), e.npoints[s0]);
        for (int p = 1; p <= e.npoints[s0]; ++p) {
            const bool inside = p >= e.wolstart[s0] && p <= e.wolstop[s0];
            QCOMPARE(active.colours[p - 1], inside ? kGreen : kBlue);
            QCOMPARE(active.points[p - 1].y(), std::log10(e.fluor[s0][p]));
        }
        // Every 24th well does not amplify: skipped, so white; the others red.
        QVERIFY(e.skipped[24]);
        const TChartSeries& others = series(w.allsampchart, "Ser_allsamppoints");
        QCOMPARE(static_cast<int>(std::count(others.colours.begin(), others.colours.end(), kWhite)),
                 e.npoints[24]);
        QVERIFY(std::count(others.colours.begin(), others.colours.end(), kRed) > 0);
        QCOMPARE(std::count(others.colours.begin(), others.colours.end(), kGreen), 0);

        // Common window: both limits and the threshold at their values.
        QVERIFY(series(w.allsampchart, "ser_allwinup").visible);
        QCOMPARE(series(w.allsampchart, "ser_allwinup").points[0].y(), e.uplim[0]);
        QCOMPARE(series(w.allsampchart, "ser_allwindown").points[1].y(), e.lowlim[0]);
        QCOMPARE(series(w.allsampchart, "FtLineall").points[0].y(), e.ftval[0]);
        QCOMPARE(series(w.allsampchart, "FtLineall").points[1].x(), e.maxcyc);

        // Group level ("All" chosen) and individual level (no group chosen) draw no
        // limits; the threshold only while it is common.
        const struct {
            int level, thresholds;
            bool threshold;
        } rows[] = {{1, 0, true}, {1, 1, false}, {2, 1, false}};
        for (const auto& row : rows) {
            const QByteArray name =
                QByteArray::number(row.level) + '/' + QByteArray::number(row.thresholds);
            w.CommonGroupWindowRG->SetItemIndex(row.level);
            w.ThresholdsRG->SetItemIndex(row.thresholds);
            w.plotallsamps();
            w.FlushCharts();
            QVERIFY2(!series(w.allsampchart, "ser_allwinup").visible, name);
            QVERIFY2(!series(w.allsampchart, "ser_allwindown").visible, name);
            QVERIFY2(series(w.allsampchart, "FtLineall").visible == row.threshold, name);
        }

        // Linear mode: limits at 10^limit, points as fluorescence.
        w.ThresholdsRG->SetItemIndex(0);
        w.CommonGroupWindowRG->SetItemIndex(0);
        w.logYaxisall->click();
        w.FlushCharts();
        QVERIFY(!w.logyaxis->isChecked() && !w.Logaxis1->isChecked());
        QCOMPARE(active.points[0].y(), e.fluor[s0][1]);
        QCOMPARE(w.allsampchart->AxisY()->min(), 0.0);
        QCOMPARE(w.allsampchart->AxisY()->titleText(), QStringLiteral("Fluorescence"));
    }

    void sampleChartAndSurveys_coloursPerLevel() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadRun(w, 6, false);
        makeCurrent(w, 1);
        // Before baselines: the exponential phase blue, no lines.
        const TChartSeries& pts = series(w.samplechart, "ser_sample");
        for (int p = 1; p <= e.npoints[1]; ++p)
            QCOMPARE(pts.colours[p - 1], p >= e.fstart[1] && p <= e.fstop[1] ? kBlue : kWhite);
        for (const char* name : {"ser_up", "ser_low", "ftlineindiv", "ser_regr_lin"})
            QVERIFY2(!series(w.samplechart, name).visible, name);

        // After: the window points coloured by the sample's window level, in the
        // sample chart and in the efficiency survey; a hidden sample is left out.
        w.Determinebaselines1->trigger();
        e.woltype[2] = 1;
        e.woltype[3] = 2;
        e.isdisplayed[4] = 0;
        w.update_surveys();
        const TChartSeries& eff = series(w.PCR_eff_Chart, "ser_pcreff");
        const struct {
            int sample;
            QRgb colour;
        } rows[] = {{1, kRed}, {2, kOrange}, {3, kYellow}};
        for (const auto& row : rows) {
            QVERIFY(e.wolstop[row.sample] > e.wolstart[row.sample]);
            makeCurrent(w, row.sample);
            int n = 0;
            for (int p = e.wolstart[row.sample]; p <= e.wolstop[row.sample]; ++p)
                n += pts.colours[p - 1] == row.colour;
            QCOMPARE(n, e.wolstop[row.sample] - e.wolstart[row.sample] + 1);
            QCOMPARE(eff.colours[row.sample - 1], row.colour);
            QCOMPARE(w.IndividualFitCB->isChecked(), row.sample == 3);
        }
        QCOMPARE(static_cast<int>(eff.points.size()), 5);
        QCOMPARE(eff.points[3].x(), 5.0);
        w.cb_show_hidden->click();
        w.FlushCharts();
        QCOMPARE(static_cast<int>(eff.points.size()), 6);
        QCOMPARE(series(w.PCR_eff_Chart, "ser_pcrchartpointup").points[0],
                 QPointF(3, w.PCR_eff_Chart->AxisY()->min()));
        makeCurrent(w, 1);
        QVERIFY(series(w.samplechart, "ftlineindiv").visible);
        QCOMPARE(series(w.samplechart, "ftlineindiv").points[2].x(), e.ct[1]);
        QVERIFY(series(w.samplechart, "ser_regr_lin").visible);

        // Linear mode: no threshold or regression line; limits at 10^limit.
        w.logyaxis->click();
        w.FlushCharts();
        QVERIFY(!series(w.samplechart, "ftlineindiv").visible);
        QVERIFY(!series(w.samplechart, "ser_regr_lin").visible);
        QCOMPARE(series(w.samplechart, "ser_up").points[0].y(), std::pow(10.0, e.uplim[1]));
        QVERIFY(!w.logYaxisall->isChecked());
    }

    void axes_efficiencyIncrementAndPaddedCorrelation() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = w.Engine();
        e.setarraylengths(3, 4);
        const double effs[] = {1.62, 1.9, 2.31, 1.8};
        for (int s = 1; s <= 4; ++s) {
            e.isdisplayed[s] = 1;
            e.indiveff[s] = effs[s - 1];
            e.rval[s] = 0.98;
        }
        w.cb_pcr_axis->click();
        QCOMPARE(w.PCR_eff_Chart->AxisY()->min(), 1.0);
        QCOMPARE(w.PCR_eff_Chart->AxisY()->max(), 2.5);
        QVERIFY(std::fabs(w.PCR_eff_Chart->AxisY()->tickInterval() - 0.3) < 1e-12);
        w.cb_pcr_axis->click();
        QCOMPARE(w.PCR_eff_Chart->AxisY()->max(), 2.0);
        // Every r equal (and below 0.995): a padded range, a positive increment.
        w.CB_corr_axis->click();
        QVERIFY(w.Correl_Chart->AxisY()->min() < 0.98);
        QVERIFY(w.Correl_Chart->AxisY()->max() > 0.98);
        QVERIFY(w.Correl_Chart->AxisY()->tickInterval() > 0.0);
        e.rval[2] = 0.9;
        w.CB_corr_axis->click();
        w.CB_corr_axis->click();
        QCOMPARE(w.Correl_Chart->AxisY()->min(), 0.9);
        QCOMPARE(w.Correl_Chart->AxisY()->max(), 0.98);
    }

    void commonApply_movesOnlyCommonSamplesAndThreshold() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadRun(w, 12);
        const double oldGroupUp = e.uplim[2], oldIndivUp = e.uplim[3];
        e.woltype[2] = 1;
        e.woltype[3] = 2;
        const double v = std::round((e.uplim[0] - 0.1) * 1000.0) / 1000.0;
        const double meanEff = e.GetMeanEff(0);     // at the time the limit is applied
        w.cuplimeditEnter(TLimitEdit::cuplimedit);  // as the edit takes the focus
        QVERIFY(w.applycommonbut->isEnabled());
        // Typed with the decimal comma in force; the edits show it the same way.
        e.decsep = ',';
        w.clowlimedit->setText(
            QString::number(e.lowlim[0]).replace(QLatin1Char('.'), QLatin1Char(',')));
        w.cuplimedit->setText(QString::number(v).replace(QLatin1Char('.'), QLatin1Char(',')));
        w.applycommonbut->click();
        QCOMPARE(e.uplim[0], v);
        QCOMPARE(e.uplim[1], v);
        QCOMPARE(e.uplim[2], oldGroupUp);
        QCOMPARE(e.uplim[3], oldIndivUp);
        QVERIFY(std::fabs(e.ftval[0] - (v - std::log10(meanEff))) < 1e-9);
        QVERIFY(!w.applycommonbut->isEnabled());
        QCOMPARE(f.prompter.count(TPromptKind::Error) + f.prompter.count(TPromptKind::Warning), 0);
        QVERIFY(w.cupfluoredit->text().contains(QLatin1Char(',')));
        QVERIFY(!w.cupfluoredit->text().contains(QLatin1Char('.')));
    }

    void limits_clampedAndCrossingRefused() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadRun(w, 6);
        // Above the axis: replaced by logymax.
        w.cuplimedit->setText(QString::number(e.logymax + 3.0));
        w.clowlimedit->setText(QString::number(e.lowlim[0]));
        w.cuplimeditEnter(TLimitEdit::cuplimedit);
        w.applycommonbut->click();
        QCOMPARE(e.uplim[0], e.logymax);
        // Typed limits that cross: refused, the edits show the limits in force.
        const double up = e.uplim[0], low = e.lowlim[0];
        f.prompter.clear();
        w.cuplimedit->setText(QString::number(low - 0.2));
        w.cuplimeditEnter(TLimitEdit::cuplimedit);
        w.applycommonbut->click();
        QCOMPARE(f.prompter.count(TPromptKind::Error), 1);
        QCOMPARE(e.uplim[0], up);
        QCOMPARE(w.cuplimedit->text().toDouble(), std::round(up * 1000) / 1000);
        // Stepped across the upper limit: refused.
        e.lowlim[0] = up - 0.05;
        e.setlimitedit(TLimitEdit::clowlimedit, e.lowlim[0]);
        w.clowUD->press(TUpDown::TUDBtnType::btNext);
        w.clowUD->press(TUpDown::TUDBtnType::btNext);
        QVERIFY(e.lowlim[0] < e.uplim[0]);
        QVERIFY(f.prompter.count(TPromptKind::Error) >= 2);
        // Entered as fluorescence below the lower limit: refused.
        const int before = f.prompter.count(TPromptKind::Error);
        w.cupfluoredit->setText(QString::number(std::pow(10.0, e.lowlim[0]) / 2.0));
        w.cupfluoreditChange(TLimitEdit::cuplimedit);
        QCOMPARE(f.prompter.count(TPromptKind::Error), before + 1);
        QCOMPARE(e.uplim[0], up);
        // A step that does not cross is applied (a fiftieth of the axis range).
        const double step = std::fabs(e.logymax - e.logymin) / 50.0;
        e.setlimitedit(TLimitEdit::clowlimedit, up - 1.0);
        e.setlimitedit(TLimitEdit::cuplimedit, e.uplim[0] - 0.3);
        w.cupUD->press(TUpDown::TUDBtnType::btNext);
        QVERIFY(std::fabs(e.uplim[0] - std::round((up - 0.3 + step) * 1000) / 1000) < 1e-9);
    }

    void navigation_wrapsAndSkipsHidden() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadRun(w, 3, false);
        makeCurrent(w, 1);
        w.sampUD->press(TUpDown::TUDBtnType::btPrev);
        QCOMPARE(e.samplenum, 3);
        QCOMPARE(w.sampud3->Position(), 3);
        makeCurrent(w, 1);
        e.isdisplayed[2] = 0;
        w.sampud2->press(TUpDown::TUDBtnType::btNext);
        QCOMPARE(e.samplenum, 3);
        w.sampUD->press(TUpDown::TUDBtnType::btNext);  // 3 wraps to 1
        QCOMPARE(e.samplenum, 1);
        // Nothing displayed: the current sample stays.
        for (int s = 1; s <= 3; ++s) e.isdisplayed[s] = 0;
        w.sampUD->press(TUpDown::TUDBtnType::btNext);
        QCOMPARE(e.samplenum, 1);
        // Typing a number, and a click on a survey point.
        for (int s = 1; s <= 3; ++s) e.isdisplayed[s] = 1;
        w.samplenum3->setText(QStringLiteral("2"));
        emit w.samplenum3->textEdited(QStringLiteral("2"));
        QCOMPARE(e.samplenum, 2);
        QVERIFY(w.samplechart->chart()->title().startsWith(QStringLiteral("sample [2]: ")));
        w.update_surveys();
        w.FlushCharts();
        w.ser_nincluClick(w.Correl_Chart, 2);
        QCOMPARE(e.samplenum, 3);
    }

    void groupEdits_followTheCurrentSample() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = w.Engine();
        qurvex::testing::loadSyntheticRun(e, qurvex::testing::makePlate(24, 2, 0.0, 7));
        e.fromrdml = true;  // groups follow the targets after the baseline step
        e.ProcessDataAfterRead();
        w.Determinebaselines1->trigger();
        QVERIFY(e.groupsdefined && e.ngroups == 2);
        for (int g : {2, 1}) {
            int s = 1;
            while (s <= e.nsamples && e.ampgroup[s] != g) ++s;
            QVERIFY(s <= e.nsamples);
            makeCurrent(w, s);
            QCOMPARE(w.AmpGroupNumEdit->text(), QString::number(g));
            QCOMPARE(w.AmpGrNumUD->Position(), g);
            QCOMPARE(w.GrUpLimEdit->text().toDouble(), e.limitshown[2]);
            QCOMPARE(w.GrUpLimEdit->text().toDouble(), std::round(e.gruplim[g] * 1000.0) / 1000.0);
        }
    }

    void pointClicks_moveTheNearerLimit() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadRun(w, 6);
        const int s = commonSample(e);
        makeCurrent(w, s);
        auto logf = [&](int p) { return std::log10(e.fluor[s][p]); };
        double mean = 0;
        for (int p = e.wolstart[s]; p <= e.wolstop[s]; ++p) mean += logf(p);
        mean /= e.wolstop[s] - e.wolstart[s] + 1;
        // The last window point lies above the mean and below the upper limit:
        // the upper limit goes 0.01 below it and the point leaves the window.
        const int top = e.wolstop[s];
        QVERIFY(logf(top) > mean && logf(top) < e.uplim[s]);
        w.ser_sampleClick(top - 1);
        QCOMPARE(e.uplim[s], std::round((logf(top) - 0.01) * 1000) / 1000);
        QCOMPARE(e.woltype[s], 2);
        QCOMPARE(e.wolstop[s], top - 1);
        QVERIFY(Tmainform::TabVisible(w.TabSheet_window));
        // The first point below the window joins it: the lower limit goes under it.
        const int below = e.wolstart[s] - 1;
        QVERIFY(below >= 1 && logf(below) < e.lowlim[s]);
        w.ser_sampleClick(below - 1);
        QCOMPARE(e.lowlim[s], std::round((logf(below) - 0.01) * 1000) / 1000);
        QCOMPARE(e.wolstart[s], below);
    }

    void lineDrag_withMouseEvents() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        TEngine& e = loadRun(w, 6);
        const int s = commonSample(e);
        makeCurrent(w, s);
        w.PageControl1->setCurrentWidget(w.TabSheetIndivSample);
        QTest::qWait(20);
        TChartView* c = w.samplechart;
        const double x = e.maxcyc / 2;
        clickAt(c, QPointF(x, e.uplim[s]));
        QVERIFY(e.dragging);
        QCOMPARE(e.dragline, 1);
        QVERIFY(e.dragupper);
        // Below the lower limit: the line hides; back above it shows again.
        moveTo(c, QPointF(x, e.lowlim[s] - 0.2));
        QVERIFY(!c->SeriesAt(e.dragseries).visible);
        const double target = e.lowlim[s] + 0.6 * (e.uplim[s] - e.lowlim[s]);
        moveTo(c, QPointF(x, target));
        QVERIFY(c->SeriesAt(e.dragseries).visible);
        clickAt(c, QPointF(x, target));
        QVERIFY(!e.dragging);
        QCOMPARE(e.dragline, 0);
        QVERIFY(std::fabs(e.uplim[s] - target) < 0.02);  // within a pixel or two
        QCOMPARE(e.uplim[s], std::round(e.uplim[s] * 1000) / 1000);
        QCOMPARE(e.woltype[s], 2);
        QVERIFY(!QGuiApplication::overrideCursor());

        // The threshold line of the all-samples chart: drag and drop.
        w.PageControl1->setCurrentWidget(w.TabSheetAllSamples);
        QTest::qWait(20);
        TChartView* a = w.allsampchart;
        clickAt(a, QPointF(x, e.ftval[0]));
        QCOMPARE(e.dragline, 3);
        const double ft = e.ftval[0] - 0.3;
        moveTo(a, QPointF(x, ft));
        clickAt(a, QPointF(x, ft));
        QVERIFY(std::fabs(e.ftval[0] - ft) < 0.02);
        QVERIFY(!e.ftchanged);
        // Linear mode: the dropped line's fluorescence becomes a log10 limit.
        w.logYaxisall->click();
        w.FlushCharts();
        const double upF = std::pow(10.0, e.uplim[0]);
        clickAt(a, QPointF(x, upF));
        QCOMPARE(e.dragline, 1);
        moveTo(a, QPointF(x, 2.0 * upF));
        clickAt(a, QPointF(x, 2.0 * upF));
        QVERIFY(!e.dragging);
        QVERIFY(std::fabs(e.uplim[0] - std::log10(2.0 * upF)) < 0.03);
        QCOMPARE(series(a, "ser_allwinup").points[0].y(), std::pow(10.0, e.uplim[0]));
    }

    void threshold_filterSeparatorAndUnlistedGroup() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadRun(w, 6);
        w.ctcalcButton->hide();
        e.ftchanged = false;
        w.ftvaledit->setText(QStringLiteral("0"));
        QTest::keyClicks(w.ftvaledit, QStringLiteral("x"));
        QCOMPARE(w.ftvaledit->text(), QStringLiteral("0"));
        QVERIFY(w.ctcalcButton->isHidden());
        QVERIFY(!e.ftchanged);
        // With "," as the separator in force, "-0,5" is typed and applied.
        e.decsep = ',';
        w.ftvaledit->clear();
        QTest::keyClicks(w.ftvaledit, QStringLiteral("-0,5"));
        QCOMPARE(w.ftvaledit->text(), QStringLiteral("-0,5"));
        QVERIFY(!w.ctcalcButton->isHidden());
        w.ctcalcButton->click();
        QCOMPARE(e.ftval[0], -0.5);
        QCOMPARE(e.sampftval[1], -0.5);
        QVERIFY(w.ctcalcButton->isHidden());
        QCOMPARE(w.ftvaledit->text(), QStringLiteral("-0,5"));
        // Group thresholds refused with the common window.
        w.ThresholdsRG->Button(1)->click();
        QCOMPARE(w.ThresholdsRG->ItemIndex(), 0);
        // Group thresholds for a sample whose identifier is not listed: nothing changes.
        e.options.CommonGroupWindowRG = 1;
        e.options.ThresholdsRG = 1;
        e.ampname[1] = "renamed";
        makeCurrent(w, 1);
        const auto before = e.ftval;
        f.prompter.clear();
        w.ftvaledit->setText(QStringLiteral("0,25"));
        w.ctcalcButtonClick();
        QVERIFY(e.ftval == before);
        QCOMPARE(f.prompter.count(TPromptKind::Warning), 1);
        // ... and its group limit edits change no group either.
        const auto up = e.gruplim;
        e.applylimitedit(TLimitEdit::GrUpLimEdit, e.uplim[0] - 0.1);
        QVERIFY(e.gruplim == up);
        QVERIFY(e.ftval == before);
    }

    // Grouped thousands and letters are no number in any edit; a lone decimal
    // comma reads in a decimal-point process.
    void threshold_groupedThousandsAndLettersRefused() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadRun(w, 6);
        e.decsep = '.';
        const double before = e.ftval[0];
        for (const char* text : {"1,234.5", "1.234,5", "1,234,567", "12 liver", "nan"}) {
            f.prompter.clear();
            w.ftvaledit->setText(QString::fromLatin1(text));
            w.ctcalcButton->click();
            QCOMPARE(e.ftval[0], before);
            QCOMPARE(f.prompter.count(TPromptKind::Error), 1);
            QVERIFY(f.prompter.messages[0].text.contains(QString::fromLatin1(text)));
        }
        f.prompter.clear();
        w.ftvaledit->setText(QStringLiteral("-0,25"));
        w.ctcalcButton->click();
        QCOMPARE(e.ftval[0], -0.25);
        QCOMPARE(f.prompter.messages.size(), 0);
        // With the decimal comma in force a point is no decimal mark.
        e.decsep = ',';
        w.ftvaledit->setText(QStringLiteral("-0.5"));
        w.ctcalcButton->click();
        QCOMPARE(e.ftval[0], -0.25);
        QCOMPARE(f.prompter.count(TPromptKind::Error), 1);
    }

    // The baseline edit and the group limits refuse a text that is no number
    // (either limit alone) and change nothing; a number applies.
    void numberEdits_baselineAndGroupLimits() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadRun(w, 6);
        e.decsep = '.';
        const int s = commonSample(e);
        makeCurrent(w, s);
        const double bg = e.bgarr[s];
        w.bgedit->setText(QStringLiteral("1,234.5"));
        w.indivBaselineButton->click();
        QCOMPARE(e.bgarr[s], bg);
        QCOMPARE(f.prompter.count(TPromptKind::Error), 1);
        w.bgedit->setText(QString::number(bg * 1.01, 'f', 6));
        w.indivBaselineButton->click();
        QVERIFY(std::fabs(e.bgarr[s] - bg * 1.01) < 1e-6 * bg);
        QCOMPARE(f.prompter.count(TPromptKind::Error), 1);

        const auto up = e.gruplim, low = e.grlowlim;
        for (const auto& [lowText, upText] :
             {std::pair{"abc", "1.5"}, std::pair{"0.5", "12 liver"}}) {
            f.prompter.clear();
            w.GrLowLimEdit->setText(QString::fromLatin1(lowText));
            w.GrUpLimEdit->setText(QString::fromLatin1(upText));
            w.ApplyGroupButton->setEnabled(true);
            w.ApplyGroupButton->click();
            QCOMPARE(f.prompter.texts(TPromptKind::Error),
                     QStringList{QStringLiteral("the group limits are not numbers")});
            QVERIFY(e.gruplim == up && e.grlowlim == low);
        }
    }

    void manualBaseline_flagsAndRefusal() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadRun(w, 6);
        const int s = commonSample(e);
        e.bgerror[s] = 1;
        e.manualbg[s] = 0;
        makeCurrent(w, s);
        QVERIFY(!w.BaselineErrorLabel->isHidden());
        QVERIFY(!w.IgnoreBLerrorButton->isHidden());
        const double bg = e.bgarr[s] * 1.01;
        QVERIFY(w.ApplyManualBaseline(s, bg));
        QCOMPARE(e.bgarr[s], bg);
        QVERIFY(e.manualbg[s]);
        QVERIFY(!e.skipped[s]);
        QVERIFY(w.BaselineErrorLabel->isHidden());
        QVERIFY(w.IgnoreBLerrorButton->isHidden());
        QVERIFY(!w.MarkAsSkippedCB->isHidden());
        QCOMPARE(e.fluor[s][e.npoints[s]], e.rawfluor[s][e.nrawpoints[s]] - bg);
        // A baseline that leaves fewer than 5 valid points is refused.
        f.prompter.clear();
        double top = 0;
        for (int p = 1; p <= e.nrawpoints[s]; ++p) top = std::max(top, e.rawfluor[s][p]);
        QVERIFY(!w.ApplyManualBaseline(s, top));
        QCOMPARE(e.bgarr[s], bg);
        QCOMPARE(f.prompter.count(TPromptKind::Warning), 1);
        // "ignore error" on a sample without amplification keeps it skipped.
        e.noamplif[6] = 1;
        e.bgerror[6] = 1;
        e.manualbg[6] = 0;
        makeCurrent(w, 6);
        QVERIFY(e.validpointsabove(6, e.bgarr[6]) >= 5);
        w.IgnoreBLerrorButton->click();
        QVERIFY(e.manualbg[6] && e.skipped[6]);
        QVERIFY(w.BaselineCorrection1->isChecked());
        QVERIFY(Tmainform::TabVisible(w.TabSheet_baseline));
    }

    void yAxisBox_cancelAndBadValues() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadRun(w, 6, false);
        const double min = e.logymin, max = e.logymax;
        QVERIFY(w.MinFluor1->isEnabled());
        w.MinFluor1->trigger();  // cancelled
        QCOMPARE(e.logymin, min);
        QCOMPARE(f.prompter.textPrompts.last(), QStringLiteral("give LOG minimum"));
        f.prompter.textAnswers = {QStringLiteral("abc")};
        w.MinFluor1->trigger();
        f.prompter.textAnswers = {QString::number(max + 1)};
        w.MinFluor1->trigger();
        QCOMPARE(e.logymin, min);
        QCOMPARE(f.prompter.count(TPromptKind::Error), 2);
        f.prompter.textAnswers = {QStringLiteral("-1")};
        w.MinFluor1->trigger();
        QCOMPARE(e.logymin, -1.0);
        QCOMPARE(w.samplechart->AxisY()->min(), -1.0);
        // Linear mode: a maximum that is not positive is refused; 100 is log 2.
        w.Logaxis1->trigger();
        QVERIFY(!w.logyaxis->isChecked());
        f.prompter.textAnswers = {QStringLiteral("0")};
        w.MaxFluor1->trigger();
        QCOMPARE(e.logymax, max);
        QCOMPARE(f.prompter.textPrompts.last(), QStringLiteral("give maximum"));
        f.prompter.textAnswers = {QStringLiteral("100")};
        w.MaxFluor1->trigger();
        QCOMPARE(e.logymax, 2.0);
        QCOMPARE(w.allsampchart->AxisY()->max(), 100.0);
        w.resetYaxis1->trigger();
        QCOMPARE(e.logymax, e.deflogymax);
    }

    void redraw_oncePerAction() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        TEngine& e = loadRun(w, 24);
        const int all = w.ChartDraws(w.allsampchart), one = w.ChartDraws(w.samplechart);
        const int surveys = w.ChartDraws(w.PCR_eff_Chart);
        w.cuplimedit->setText(QString::number(std::round((e.uplim[0] - 0.05) * 1000) / 1000));
        w.cuplimeditEnter(TLimitEdit::cuplimedit);
        w.applycommonbut->click();
        QCOMPARE(w.ChartDraws(w.allsampchart), all + 1);
        QCOMPARE(w.ChartDraws(w.samplechart), one + 1);
        QCOMPARE(w.ChartDraws(w.PCR_eff_Chart), surveys + 1);
        // "reset all to common window" shows every sample in turn; the charts are
        // drawn far fewer times than that.
        e.woltype[2] = 2;
        e.uplim[2] = e.uplim[0] - 0.2;
        const int start = w.ChartDraws(w.samplechart);
        w.reset_all_butClick();
        w.FlushCharts();
        QCOMPARE(e.woltype[2], 0);
        QCOMPARE(e.uplim[2], e.uplim[0]);
        QCOMPARE(e.samplenum, e.nsamples);
        QVERIFY(w.ChartDraws(w.samplechart) - start < e.nsamples / 2);
        // A loop over every sample that reports each one draws far fewer times.
        const int before = w.ChartDraws(w.allsampchart);
        w.Engine().fitallbutClick();
        w.FlushCharts();
        QVERIFY(w.ChartDraws(w.allsampchart) - before < e.nsamples / 2);
    }

    void screenshots_96wells() {
        TWindowFixture f;
        Tmainform& w = f.createActive();
        w.resize(1400, 900);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        loadRun(w, 96);
        makeCurrent(w, commonSample(w.Engine()));
        w.rawdataCB->setChecked(true);
        w.logyaxisClick();
        w.FlushCharts();
        QVERIFY(snapshot(*w.allsampchart, QStringLiteral("chart-allsamples.png")));
        QVERIFY(snapshot(w, QStringLiteral("charts-mainwindow.png")));
        w.PageControl1->setCurrentWidget(w.TabSheetIndivSample);
        QVERIFY(snapshot(*w.samplechart, QStringLiteral("chart-sample.png")));
        for (auto [page, chart, name] :
             {std::tuple{w.TabSheetPCREffs, w.PCR_eff_Chart, "chart-efficiency.png"},
              std::tuple{w.TabSheetCorrel, w.Correl_Chart, "chart-correlation.png"},
              std::tuple{w.TabSheetNpoints, w.npoints_Chart, "chart-points.png"}}) {
            w.PageControl2->setCurrentWidget(page);
            QVERIFY(snapshot(*chart, QString::fromLatin1(name)));
        }
    }
};

QURVEX_WINDOW_TEST_MAIN(ChartsTest)
#include "ChartsTest.moc"
