// Ctrl+P: the report's dialog, the report written on a thread of its own from
// the site record, and what the window hands the record on the way. What the
// record and the report hold is tested in the core; here they are held
// against what the window showed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <optional>

#include "ConsoleHarness.h"
#include "FileText.h"
#include "console/record/CommissioningReport.h"
#include "console/record/RecordEntry.h"
#include "model/Conversions.h"
#include "model/MessageTexts.h"
#include "ui/window/ReportWriter.h"
#include "ui/window/TfmMain.h"
#include "ui/window/TfrmReport.h"

namespace quillane::test {
namespace {

QStringList Files(const char* pattern) {
    return QDir::current().entryList({QString::fromLatin1(pattern)}, QDir::Files);
}
QStringList Reports() { return Files("Quillane-report-*.pdf"); }

std::vector<RecordEntry> RecordEntries() { return ParseRecord(FileText(files::kSiteRecordFile)); }

// Ctrl+P, with `answer` acting on the report dialog once it is up (typing,
// then Enter, Ctrl+S or Esc). False when no dialog came.
bool PressCtrlP(ConsoleHarness& h, const std::function<void(TfrmReport&)>& answer) {
    // A box just closed hands the activation back to the window later.
    if (QApplication::activeWindow() != &h.Window()) {
        QApplication::setActiveWindow(&h.Window());
        EXPECT_TRUE(QTest::qWaitForWindowActive(&h.Window()));
    }
    bool came = false;
    QTimer::singleShot(0, [&came, answer] {
        auto* dialog = qobject_cast<TfrmReport*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        came = true;
        // Its shortcuts take keys once it is the active window.
        QApplication::setActiveWindow(dialog);
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        answer(*dialog);
        // Whatever the answer did, the dialog does not stay.
        if (dialog->isVisible()) dialog->reject();
    });
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target ? target : &h.Window(), Qt::Key_P, Qt::ControlModifier);
    // Without a dialog the answer finds none, now rather than in a later one.
    QCoreApplication::processEvents();
    return came;
}

void Key(TfrmReport& d, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(d.focusWidget() ? d.focusWidget() : &d, key, modifiers);
}

// Types the site, then Enter.
std::function<void(TfrmReport&)> WriteFor(const QString& site) {
    return [site](TfrmReport& d) {
        QLineEdit* edit = d.findChild<QLineEdit*>(QStringLiteral("edSite"));
        edit->clear();
        QTest::keyClicks(edit, site);
        Key(d, Qt::Key_Return);
    };
}

// What the writer said once done (waited for with a bound against a hang).
ReportWriter::Result WaitForReport(ConsoleHarness& h) {
    auto* writer = h.Window().findChild<ReportWriter*>();
    std::optional<ReportWriter::Result> done;
    QObject context;
    QObject::connect(writer, &ReportWriter::Finished, &context,
                     [&done](const ReportWriter::Result& r) { done = r; });
    EXPECT_TRUE(QTest::qWaitFor([&done] { return done.has_value(); }, 60000));
    QCoreApplication::processEvents();
    return done.value_or(ReportWriter::Result{});
}

ReportWriter::Result Report(ConsoleHarness& h, const QString& site = QStringLiteral("Site")) {
    EXPECT_TRUE(PressCtrlP(h, WriteFor(site)));
    return WaitForReport(h);
}

// Alarms counted on the Setup page: the detector enters Alarm and leaves it.
void Alarms(ConsoleHarness& h, int count) {
    for (int i = 0; i < count; ++i) {
        h.clock.Advance(1);
        h.Receive({word::State(1), word::Speed(0)});
        h.Receive({word::State(0), word::Speed(0)});
    }
}

TEST(ReportKey, CtrlPAsksForTheFormAndWritesThePdfBesideTheSettingsFile) {
    ConsoleHarness h;
    const std::size_t recordBefore = FileText(files::kSiteRecordFile).size();
    EXPECT_FALSE(PressCtrlP(h, [](TfrmReport&) {}));  // no detector: nothing

    h.LinkUp();
    h.Press(Qt::Key_F3);
    h.Press(Qt::Key_F6);  // runs the switch's handler twice: one record line
    h.Receive({word::State(1), word::Speed(0)});
    // Esc: nothing written.
    EXPECT_TRUE(PressCtrlP(h, [](TfrmReport& d) { Key(d, Qt::Key_Escape); }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(Reports().isEmpty());

    ASSERT_TRUE(PressCtrlP(h, WriteFor(QStringLiteral("North gate"))));
    // The window is back at once: the report is under way on its own thread.
    EXPECT_TRUE(h.Find<QLabel>("lReportBusy")->isVisible());
    const ReportWriter::Result written = WaitForReport(h);
    EXPECT_FALSE(h.Find<QLabel>("lReportBusy")->isVisible());
    ASSERT_TRUE(written.error.isEmpty()) << written.error.toStdString();
    ASSERT_EQ(Reports().size(), 1);
    EXPECT_TRUE(Reports()[0].startsWith(QStringLiteral("Quillane-report-20230315-1020")));
    EXPECT_EQ(FileText(Reports()[0].toStdString()).substr(0, 5), "%PDF-");
    EXPECT_EQ(written.report.form[0].value, "North gate");
    EXPECT_EQ(written.report.alarmCount, "1");
    std::vector<std::string> events;
    for (const RecordEntry& e : ParseRecord(FileText(files::kSiteRecordFile).substr(recordBefore)))
        if (e.event != "signal") events.push_back(e.event);
    EXPECT_EQ(events, (std::vector<std::string>{"detected", "counting_on", "alarm"}));

    // The next report of the site starts with its form; Ctrl+S saves the
    // record as CSV instead.
    QString site;
    ASSERT_TRUE(PressCtrlP(h, [&site](TfrmReport& d) {
        site = d.findChild<QLineEdit*>(QStringLiteral("edSite"))->text();
        Key(d, Qt::Key_S, Qt::ControlModifier);
    }));
    const ReportWriter::Result csv = WaitForReport(h);
    EXPECT_EQ(site, QStringLiteral("North gate"));
    ASSERT_EQ(Files("Quillane-record-*.csv").size(), 1);
    EXPECT_TRUE(csv.path.endsWith(QLatin1Char('/') + Files("Quillane-record-*.csv")[0]));
    EXPECT_EQ(Reports().size(), 1);
}

// The report shows the "Maximum:" the page showed, also after a reset while
// the signal fell faster than the page redraws.
TEST(ReportKey, TheCalibrationMaximumIsTheOneOnTheScreen) {
    ConsoleHarness h;
    h.LinkUp(2, 2);  // calibrating: the Calibration page
    ASSERT_EQ(h.CurrentPage(), QStringLiteral("tsTuneUp"));
    const auto signal = [&h](unsigned count, double after, int times) {
        for (int i = 0; i < times; ++i) {
            h.clock.Advance(after);
            h.Receive({word::State(2), word::Signal(count)});
        }
    };
    // Each step taken once the filter against jumps lets it through.
    signal(500, 0.25, 8);
    signal(540, 0.25, 8);  // the maximum
    signal(500, 0.25, 8);
    signal(510, 0.25, 1);  // drawn: a changed word, long after the last redraw
    const QString last = h.Text("lSignal");
    signal(300, 0.005, 1);  // sooner than the next redraw may come: not drawn yet
    // F8 at once, before the window's loop runs the redraw that waits: the
    // maximum comes down to the last signal shown.
    h.Window().actClearExecute();
    const QString shown = h.Text("lTuneUpMax");
    EXPECT_EQ(shown, last);
    const ReportWriter::Result written = Report(h);

    std::optional<double> recorded;
    for (const RecordEntry& e : RecordEntries())
        if (e.event == "calibration_maximum") recorded = e.Number("mV");
    ASSERT_TRUE(recorded);
    EXPECT_EQ(QString::number(*recorded, 'f', 3), shown);
    EXPECT_EQ(QString::fromStdString(written.report.calibrationMaximum)
                  .startsWith(shown + QStringLiteral("  mV, reached at 10:")),
              true)
        << written.report.calibrationMaximum << " / " << shown.toStdString();
}

// Setting the unit letter last is a normal order of work: the walk test
// before it stays the visit's, through a relink to the detector as it became.
TEST(ReportKey, AUnitIdChangedAfterTheWalkTestKeepsItInTheReport) {
    ConsoleHarness h;
    h.LinkUp(0, 2);
    h.Press(Qt::Key_F3);
    h.Press(Qt::Key_F6);
    Alarms(h, 3);
    h.EnterAccessCode(QStringLiteral("5"));
    h.Press(Qt::Key_F3);                                   // the Settings page
    h.Find<QComboBox>("cbNewLetter")->setCurrentIndex(2);  // F2 to F3
    h.Press(Qt::Key_F5);
    h.Tick(30);
    h.Receive({word::Identity(2, 3, 2, 9)});  // the detector took it
    EXPECT_EQ(h.Text("lLetter"), QStringLiteral("F3"));
    EXPECT_EQ(Report(h).report.alarmCount, "3");

    h.LinkDown();
    LinkUpSet set;
    set.identity = word::Identity(2, 3, 2, 9);
    for (frame::Word w : set.Words()) h.link.Feed(w);
    h.Tick();
    const ReportWriter::Result relinked = Report(h);
    EXPECT_EQ(relinked.report.alarmCount, "3");
    EXPECT_EQ(relinked.report.outages.size(), 1u);
}

// The link goes while the dialog is open: the report still comes, with the
// detector as it was when Ctrl+P was pressed, and the outage in it.
TEST(ReportKey, ALinkLostWhileTheDialogIsOpenStillGivesTheReport) {
    ConsoleHarness h;
    h.LinkUp(0, 2);
    ASSERT_TRUE(PressCtrlP(h, [&h](TfrmReport& d) {
        h.LinkDown();
        Key(d, Qt::Key_Return);
    }));
    const ReportWriter::Result written = WaitForReport(h);
    ASSERT_TRUE(written.error.isEmpty()) << written.error.toStdString();
    EXPECT_EQ(written.report.identity[0].value, "Korvel-TS");
    EXPECT_EQ(written.report.identity[2].value, "F2");
    EXPECT_EQ(written.report.outages.size(), 1u);
}

// Where the report went shows inside the window, with the offer to open it;
// a long folder loses its middle, the file's name stays whole.
TEST(ReportKey, TheNoticeNamesTheFileWholeInsideTheWindow) {
    ConsoleHarness h;
    h.LinkUp();
    const QString shallow = QDir::currentPath();
    const QString deep = shallow + QStringLiteral("/%1/%1").arg(QString(80, QLatin1Char('d')));
    ASSERT_TRUE(QDir().mkpath(deep));
    for (const QString& folder : {shallow, deep}) {
        ASSERT_TRUE(QDir::setCurrent(folder));
        const QStringList before = Reports();
        ASSERT_TRUE(Report(h).error.isEmpty());
        QStringList written = Reports();
        for (const QString& name : before) written.removeAll(name);
        ASSERT_EQ(written.size(), 1);
        const auto* notice = h.Find<QLabel>("lReportNotice");
        EXPECT_TRUE(h.Window().rect().contains(notice->parentWidget()->geometry()));
        for (const char* shown : {"lReportNotice", "btnOpenReport", "btnOpenFolder"})
            EXPECT_TRUE(h.Find<QWidget>(shown)->isVisible()) << shown;
        EXPECT_TRUE(notice->text().startsWith(QStringLiteral("Commissioning report written:\n")));
        EXPECT_TRUE(notice->text().endsWith(written[0])) << notice->text().toStdString();
        EXPECT_LE(notice->fontMetrics().horizontalAdvance(notice->text().section('\n', 1)),
                  notice->contentsRect().width());
    }
    ASSERT_TRUE(QDir::setCurrent(shallow));
}

// A folder where the record should be: the installer is told once, with the
// reason, while the walk test goes on; Ctrl+P still writes its report.
TEST(ReportKey, ARecordThatCannotBeWrittenIsToldOnceAndTheReportStillComes) {
    ASSERT_TRUE(QDir().mkdir(QString::fromLatin1(files::kSiteRecordFile)));
    QStringList boxes;
    QTimer answer;  // closes each box as it comes up
    QObject::connect(&answer, &QTimer::timeout, [&boxes] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxes << box->text();
            box->accept();
        }
    });
    answer.start(0);
    ConsoleHarness h;
    h.LinkUp();
    h.Press(Qt::Key_F3);
    h.Press(Qt::Key_F6);
    h.Receive({word::State(1), word::Speed(0)});
    QCoreApplication::processEvents();
    answer.stop();
    const ReportWriter::Result written = Report(h);

    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith(
        QStringLiteral("Unable to write to ./Quillane-site.jsonl: not a regular file\n")))
        << boxes[0].toStdString();
    EXPECT_EQ(Reports().size(), 1);
    EXPECT_TRUE(written.report.recordIncomplete);
    EXPECT_EQ(written.report.alarmCount, "1");  // from the lines held in memory
}

#ifndef _WIN32
// Names of reports are known to the second: a link planted at the next one
// sends nothing elsewhere, and the box names the file actually written.
TEST(ReportKey, ALinkPlantedAtTheReportsNameIsNeverWrittenThrough) {
    ConsoleHarness h;
    h.LinkUp();
    const std::string name = ReportFileName(h.clock.LocalDays());
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("other")));
    std::filesystem::create_symlink("other/planted.pdf", name);
    const ReportWriter::Result written = Report(h);

    EXPECT_FALSE(std::filesystem::exists("other/planted.pdf"));
    const std::string second = name.substr(0, name.size() - 4) + "-2.pdf";
    EXPECT_EQ(FileText(second).substr(0, 5), "%PDF-");
    EXPECT_TRUE(written.path.endsWith(QString::fromStdString("/" + second)));
    const QString notice = h.Find<QLabel>("lReportNotice")->text();
    EXPECT_TRUE(notice.endsWith(QString::fromStdString("/" + second))) << notice.toStdString();
}
#endif

}  // namespace
}  // namespace quillane::test
