// Ctrl+P: the commissioning report from the site record, and what the window
// hands the record on the way. What the record and the report hold is tested
// in the core.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "ConsoleHarness.h"
#include "FileText.h"
#include "console/record/CommissioningReport.h"
#include "console/record/RecordEntry.h"
#include "model/MessageTexts.h"
#include "ui/window/TfmMain.h"

namespace quillane::test {
namespace {

QStringList Reports() {
    return QDir::current().entryList({QStringLiteral("Quillane-report-*.pdf")}, QDir::Files);
}

void PressCtrlP(ConsoleHarness& h) {
    // A box just closed hands the activation back to the window later.
    if (QApplication::activeWindow() != &h.Window()) {
        QApplication::setActiveWindow(&h.Window());
        ASSERT_TRUE(QTest::qWaitForWindowActive(&h.Window()));
    }
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target ? target : &h.Window(), Qt::Key_P, Qt::ControlModifier);
}

TEST(ReportKey, CtrlPWritesTheWalkTestIntoAPdfBesideTheSettingsFile) {
    ConsoleHarness h;
    const std::size_t recordBefore = FileText(files::kSiteRecordFile).size();
    const QStringList before = Reports();
    PressCtrlP(h);  // no detector: no report
    EXPECT_EQ(Reports(), before);

    h.LinkUp();
    h.Press(Qt::Key_F3);
    h.Press(Qt::Key_F6);  // runs the switch's handler twice: one record line
    h.Receive({word::State(1), word::Speed(0)});
    PressCtrlP(h);

    QStringList added = Reports();
    for (const QString& name : before) added.removeAll(name);
    ASSERT_EQ(added.size(), 1);
    EXPECT_TRUE(added[0].startsWith(QStringLiteral("Quillane-report-20230315-1020")));
    EXPECT_EQ(FileText(added[0].toStdString()).substr(0, 5), "%PDF-");
    std::vector<std::string> events;
    for (const RecordEntry& e : ParseRecord(FileText(files::kSiteRecordFile).substr(recordBefore)))
        if (e.event != "signal") events.push_back(e.event);
    EXPECT_EQ(events, (std::vector<std::string>{"detected", "counting_on", "alarm"}));

    // Where it went shows inside the window; a long folder loses its middle,
    // the file's name stays whole.
    const QString shallow = QDir::currentPath();
    const QString deep = shallow + QStringLiteral("/%1/%1").arg(QString(80, QLatin1Char('d')));
    ASSERT_TRUE(QDir().mkpath(deep));
    for (const QString& folder : {shallow, deep}) {
        ASSERT_TRUE(QDir::setCurrent(folder));
        const QStringList before = Reports();
        PressCtrlP(h);
        QStringList written = Reports();
        for (const QString& name : before) written.removeAll(name);
        ASSERT_EQ(written.size(), 1);
        const auto* notice = h.Find<QLabel>("lReportNotice");
        EXPECT_TRUE(notice->isVisible());
        EXPECT_TRUE(h.Window().rect().contains(notice->geometry()));
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
    const QStringList before = Reports();
    PressCtrlP(h);
    QCoreApplication::processEvents();

    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith(
        QStringLiteral("Unable to write to ./Quillane-site.jsonl: not a regular file\n")))
        << boxes[0].toStdString();
    EXPECT_EQ(Reports().size(), before.size() + 1);
}

#ifndef _WIN32
// Names of reports are known to the second: a link planted at the next one
// sends nothing elsewhere, and the note names the file actually written.
TEST(ReportKey, ALinkPlantedAtTheReportsNameIsNeverWrittenThrough) {
    ConsoleHarness h;
    h.LinkUp();
    const std::string name = ReportFileName(h.clock.LocalDays());
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("other")));
    std::filesystem::create_symlink("other/planted.pdf", name);
    PressCtrlP(h);

    EXPECT_FALSE(std::filesystem::exists("other/planted.pdf"));
    const std::string written = name.substr(0, name.size() - 4) + "-2.pdf";
    EXPECT_EQ(FileText(written).substr(0, 5), "%PDF-");
    const QString notice = h.Find<QLabel>("lReportNotice")->text();
    EXPECT_TRUE(notice.endsWith(QString::fromStdString("/" + written))) << notice.toStdString();
}
#endif

}  // namespace
}  // namespace quillane::test
