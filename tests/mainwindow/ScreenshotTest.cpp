// SPDX-License-Identifier: GPL-3.0-or-later
// Takes pictures of the main window and of the small windows for a person to
// look at (written to the test artefacts folder), and checks that each
// picture was written and is not blank.
#include "mainwindow/AboutBox.h"
#include "mainwindow/HelpPages.h"
#include "mainwindow/NewVersionWarning.h"
#include "mainwindow/QurvexApplication.h"
#include "tests/mainwindow/WindowFixture.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QSignalSpy>
#include <QTest>

using namespace qurvex;
using qurvex::testing::TWindowFixture;

namespace {

// Saves the widget's picture; false when it could not be written or shows
// one colour only.
bool snapshot(QWidget& widget, const QString& name) {
  const QString dir = QStringLiteral(QURVEX_ARTIFACT_DIR);
  QDir().mkpath(dir);
  const QImage image = widget.grab().toImage();
  if (image.isNull() || !image.save(dir + QLatin1Char('/') + name)) return false;
  const QRgb first = image.pixel(0, 0);
  for (int y = 0; y < image.height(); y += 7)
    for (int x = 0; x < image.width(); x += 7)
      if (image.pixel(x, y) != first) return true;
  return false;
}

}  // namespace

class ScreenshotTest : public QObject {
  Q_OBJECT
private slots:
  void mainWindow();
  void smallWindows();
};

void ScreenshotTest::mainWindow() {
  TWindowFixture f;
  Tmainform& w = f.create();
  QSignalSpy spy(&w, &Tmainform::activated);
  w.show();
  QVERIFY(spy.wait(5000));
  QTest::qWait(100);
  QVERIFY(snapshot(w, QStringLiteral("mainwindow.png")));
  w.FitOptions1->trigger();
  w.Common1->trigger();
  w.Individual1->trigger();
  QTest::qWait(50);
  QVERIFY(snapshot(w, QStringLiteral("mainwindow-options.png")));
  w.PageControl1->setCurrentWidget(w.TabSheetIndivSample);
  QTest::qWait(50);
  QVERIFY(snapshot(w, QStringLiteral("mainwindow-sample.png")));

  // With the switches for the workshop and diagnostic pages.
  TWindowFixture g;
  Tmainform& x = g.create({QStringLiteral("x"), QStringLiteral("w"), QStringLiteral("m")});
  QSignalSpy xspy(&x, &Tmainform::activated);
  x.show();
  QVERIFY(xspy.wait(5000));
  x.PageControl1->setCurrentWidget(x.AmpliGroupsTabSheet);
  QTest::qWait(50);
  QVERIFY(snapshot(x, QStringLiteral("mainwindow-groups.png")));
  x.PageControl1->setCurrentWidget(x.TissueSampleTabSheet);
  x.OtherTisseuAnnotOptionsRB->click();
  QTest::qWait(50);
  QVERIFY(snapshot(x, QStringLiteral("mainwindow-tissues.png")));
}

void ScreenshotTest::smallWindows() {
  Thelppages help(nullptr);
  help.show();
  QTest::qWait(50);
  QVERIFY(snapshot(help, QStringLiteral("help-overview.png")));
  TAboutBox about(nullptr);
  about.Version->setText(QStringLiteral("2021.2"));
  about.DateLabel->setText(QStringLiteral("(December 2021)"));
  about.show();
  QTest::qWait(50);
  QVERIFY(snapshot(about, QStringLiteral("about.png")));
  TNewVersionWarning notice(nullptr);
  notice.VersionLabel->setText(QStringLiteral("2021.2"));
  notice.PreviousVersionLabel->setText(QStringLiteral("2019.1"));
  notice.DateLabel->setText(QStringLiteral("(December 2021)"));
  notice.show();
  QTest::qWait(50);
  QVERIFY(snapshot(notice, QStringLiteral("new-version.png")));
}

int main(int argc, char** argv) {
  TQurvexApplication app(argc, argv);
  ScreenshotTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "ScreenshotTest.moc"
