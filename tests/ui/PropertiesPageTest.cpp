// The Properties page at the developer level: cells edited in place, the
// factors and filters, and Apply with F5. The apply's rules for the file are
// tested in the model; here what the user sees and what the window hands on.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "ConsoleHarness.h"
#include "FileText.h"
#include "console/ConsoleCore.h"
#include "model/CorrespondenceTables.h"
#include "ui/widgets/PageComboBox.h"
#include "ui/window/TfmMain.h"

namespace quillane::test {
namespace {

// The console reads and writes the settings file of the working folder.
const char* const kIni = "Quillane.ini";

class PropertiesPage : public ::testing::Test {
protected:
    PropertiesPage() { RemoveFile(); }
    ~PropertiesPage() override { RemoveFile(); }
    static void RemoveFile() {
        std::error_code ec;
        std::filesystem::remove(kIni, ec);
    }

    // Linked, developer level, the page in view.
    void Open(unsigned regul = 2) {
        h.LinkUp(0, regul);
        h.EnterAccessCode("527");
        h.Press(Qt::Key_F9);
    }
    template <typename T>
    T* Find(const char* name) {
        return h.Find<T>(name);
    }
    // Selects a value cell and types into it as the user does, the editor
    // left open.
    void TypeInto(const char* grid, int row, int column, const QString& text) {
        auto* view = Find<QTableView>(grid);
        view->setFocus();
        view->setCurrentIndex(view->model()->index(row, column));
        for (const QChar c : text) QTest::keyClicks(QApplication::focusWidget(), QString(c));
    }
    QString Cell(const char* grid, int row, int column) {
        const QAbstractItemModel* cells = Find<QTableView>(grid)->model();
        return cells->index(row, column).data().toString();
    }
    QString Text(const char* field) { return Find<QLineEdit>(field)->text(); }
    // F5, with any message box it raises read and closed.
    QString ApplyKey() {
        QString message;
        QTimer answer;  // keeps looking until the box is up; ends with this call
        QObject::connect(&answer, &QTimer::timeout, [&message, &answer] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                message = box->text();
                answer.stop();
                box->accept();
            }
        });
        answer.start(0);
        h.Press(Qt::Key_F5);
        return message;
    }

    ConsoleHarness h;
};

TEST_F(PropertiesPage, ApplyStoresEverythingAndTheWindowFollows) {
    Open();
    EXPECT_EQ(h.CurrentPage(), "tsParams");
    EXPECT_EQ(Text("cbNewKdc") + ' ' + Text("cbKdc") + ' ' + Text("cbNewUrd") + ' ' + Text("cbUrd"),
              "14.33 14.33 1.5 1.5");
    Find<QLineEdit>("cbNewKdc")->setText("28.66");
    Find<QLineEdit>("cbNewUrd")->setText("abc");  // keeps 1.5, written all the same
    Find<QComboBox>("cbTenPercentFilter")->setCurrentIndex(10);
    TypeInto("sgSense", 1, 0, "12.34");  // PL at 100 %, still being edited
    EXPECT_EQ(ApplyKey(), "");

    const ProfileFile file(std::string("./") + kIni);
    EXPECT_EQ(file.ReadString("PP", "PP0", "") + ' ' + file.ReadString("Koef", "Kdc", "") + ' ' +
                  file.ReadString("Koef", "Urd", "") + ' ' +
                  file.ReadString("Filter", "MaxTenPercent", ""),
              "12.34 28.66 1.5 10");
    EXPECT_EQ(Cell("sgSense", 1, 0), "12.3");
    EXPECT_EQ(h.Window().Tables().ThresholdPP(0), 12.3);
    EXPECT_EQ(Text("cbKdc") + ' ' + Text("cbUrd"), "28.66 1.5");
    // The window handed the new values on: the threshold lists, the filter.
    const CorrespondenceTables& tables = h.Window().Tables();
    ASSERT_EQ(
        tables.RangePPItems().size() + tables.RangeMPItems().size() + tables.RangeBPItems().size(),
        96u);
    ASSERT_EQ(tables.RangePPItems().size(), 32u);
    EXPECT_EQ(tables.RangePPItems()[0], "12.3");
    EXPECT_EQ(h.Window().Core().iMaxTenPercent(), 10);
    h.Receive({word::Power(370)});
    EXPECT_EQ(h.Text("lPower"), "27.4  V");

    // A factor typed and not applied is gone when the page comes back.
    Find<QLineEdit>("cbNewKdc")->setText("5");
    h.Press(Qt::Key_F2);
    h.Press(Qt::Key_F9);
    EXPECT_EQ(Text("cbNewKdc"), "28.66");
}

TEST_F(PropertiesPage, AZoneCellActsAsItIsTypedBeforeAnyApply) {
    Open(2);                         // Auto
    TypeInto("sgDist", 1, 9, "20");  // 100 m, the editor still open
    h.Receive({word::Zone(2, 11)});  // the detector reports 100 m
    EXPECT_EQ(h.Text("lSens"), "60  %");
    h.EnterAccessCode("1");  // back to the Setup page
    ASSERT_EQ(h.CurrentPage(), "tsSense");
    auto* dist = Find<PageComboBox>("cbDistSense");
    dist->setCurrentIndex(9);
    emit dist->activated(9);
    EXPECT_EQ(Find<QSpinBox>("speSense")->value(), 60);
    EXPECT_FALSE(std::filesystem::exists(kIni));
}

TEST_F(PropertiesPage, EscInACellPutsBackWhatItHeldAndIsTheCellsAlone) {
    Open();
    QSignalSpy cancel(h.Window().findChild<QAction*>("actCancel"), &QAction::triggered);
    TypeInto("sgDist", 1, 0, "9");  // 10 m, default 15
    ASSERT_EQ(h.Window().Tables().DistSens(2), 9);
    h.Press(Qt::Key_Escape);
    EXPECT_EQ(Cell("sgDist", 1, 0), "15");
    EXPECT_EQ(h.Window().Tables().DistSens(2), 15);
    EXPECT_EQ(cancel.count(), 0);
}

// The harness then destroys the window with the editor open: its last text
// must land in tables that are still there.
TEST_F(PropertiesPage, TheWindowCanGoWhileACellIsBeingEdited) {
    Open();
    TypeInto("sgDist", 1, 0, "9");
    EXPECT_EQ(h.Window().Tables().DistSens(2), 9);
}

TEST_F(PropertiesPage, AReadOnlyFileIsReportedAndLeftAsItWas) {
    const std::string before = "[Koef]\r\nKdc=12\r\n[PP]\r\nPP0=11\r\n";
    std::ofstream(kIni, std::ios::binary) << before;
    ::chmod(kIni, 0444);
    Open();
    TypeInto("sgSense", 1, 0, "abc");
    Find<QLineEdit>("cbNewKdc")->setText("20");
    Find<QComboBox>("cbTenPercentFilter")->setCurrentIndex(0);
    EXPECT_EQ(ApplyKey(), "Unable to write to ./Quillane.ini");
    EXPECT_EQ(FileText(kIni), before);
    EXPECT_EQ(Cell("sgSense", 1, 0), "abc");  // the edit is kept
    // What took effect in memory is used everywhere alike: the factor in the
    // info panel, the filter in the core.
    EXPECT_EQ(Text("cbKdc"), "20");
    EXPECT_EQ(h.Window().Core().iMaxTenPercent(), 0);
}

}  // namespace
}  // namespace quillane::test
