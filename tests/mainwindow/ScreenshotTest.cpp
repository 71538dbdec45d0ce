// SPDX-License-Identifier: GPL-3.0-or-later
// Takes pictures of the main window and of the small windows for a person to
// look at (written to the test artefacts folder), and checks that each
// picture was written and is not blank.
#include <QSignalSpy>

#include "mainwindow/AboutBox.h"
#include "mainwindow/HelpPages.h"
#include "mainwindow/NewVersionWarning.h"
#include "tests/mainwindow/WindowTest.h"

using namespace qurvex;
using qurvex::testing::snapshot;
using qurvex::testing::TWindowFixture;

class ScreenshotTest : public QObject {
    Q_OBJECT
private slots:
    void mainWindow() {
        TWindowFixture f;
        Tmainform& w = f.create();
        QSignalSpy spy(&w, &Tmainform::activated);
        w.show();
        QVERIFY(spy.wait(5000));
        QVERIFY(snapshot(w, QStringLiteral("mainwindow.png")));
        w.FitOptions1->trigger();
        w.Common1->trigger();
        w.Individual1->trigger();
        QVERIFY(snapshot(w, QStringLiteral("mainwindow-options.png")));
        w.PageControl1->setCurrentWidget(w.TabSheetIndivSample);
        QVERIFY(snapshot(w, QStringLiteral("mainwindow-sample.png")));

        // With the switches for the workshop and diagnostic pages.
        TWindowFixture g;
        Tmainform& x = g.create({QStringLiteral("x"), QStringLiteral("w"), QStringLiteral("m")});
        QSignalSpy xspy(&x, &Tmainform::activated);
        x.show();
        QVERIFY(xspy.wait(5000));
        x.PageControl1->setCurrentWidget(x.AmpliGroupsTabSheet);
        QVERIFY(snapshot(x, QStringLiteral("mainwindow-groups.png")));
        x.PageControl1->setCurrentWidget(x.TissueSampleTabSheet);
        x.OtherTisseuAnnotOptionsRB->click();
        QVERIFY(snapshot(x, QStringLiteral("mainwindow-tissues.png")));
    }

    void smallWindows() {
        Thelppages help(nullptr);
        help.show();
        QVERIFY(snapshot(help, QStringLiteral("help-overview.png")));
        TAboutBox about(nullptr);
        about.Version->setText(QStringLiteral("2021.2"));
        about.DateLabel->setText(QStringLiteral("(December 2021)"));
        about.show();
        QVERIFY(snapshot(about, QStringLiteral("about.png")));
        TNewVersionWarning notice(nullptr);
        notice.VersionLabel->setText(QStringLiteral("2021.2"));
        notice.PreviousVersionLabel->setText(QStringLiteral("2019.1"));
        notice.DateLabel->setText(QStringLiteral("(December 2021)"));
        notice.show();
        QVERIFY(snapshot(notice, QStringLiteral("new-version.png")));
    }
};

QURVEX_WINDOW_TEST_MAIN(ScreenshotTest)

#include "ScreenshotTest.moc"
