// The Calibration and Setup pages and the alarm counter, driven by key as an
// installer drives them; the rules themselves are tested in the core.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <vector>

#include "ConsoleHarness.h"
#include "console/ConsoleCore.h"
#include "model/Conversions.h"
#include "ui/widgets/BarChart.h"
#include "ui/widgets/PageComboBox.h"
#include "ui/window/TfmMain.h"

namespace quillane::test {
namespace {

using frame::Command0;
using frame::Command1;
using frame::Command2;

// The detector of the harness: address 9, letter F2, speeds 2 and 1, gain 0.
class Pages : public ::testing::Test {
protected:
    template <typename T>
    T* Find(const char* name) {
        return h.Find<T>(name);
    }
    BarChart* Chart(const char* name) { return Find<BarChart>(name); }
    std::optional<std::uint16_t> Pending(unsigned code) {
        return h.Window().Core().PendingCommand(code);
    }
    // Signal words at the redraw rate, in the given detector state; each value
    // repeats until the filter against sudden jumps lets it through.
    void Signals(std::initializer_list<unsigned> counts, unsigned state) {
        for (unsigned c : counts) {
            for (int i = 0; i < 8; ++i) {
                h.clock.Advance(0.25);
                h.Receive({word::State(state), word::Signal(c)});
            }
        }
    }
    void SendAll() { h.Tick(30); }
    QString FocusName() const {
        QWidget* f = QApplication::focusWidget();
        return f ? f->objectName() : QString();
    }
    // Answers the next message box with `button`, keeping its text.
    void Answer(QMessageBox::StandardButton button) {
        QTimer::singleShot(0, [this, button] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                question_ = box->text();
                box->button(button)->click();
            }
        });
    }

    ConsoleHarness h;
    QString question_;
};

TEST_F(Pages, CalibrationStartsOnShowFollowsTheSignalAndStopsOnLeaving) {
    h.LinkUp(0, 2);
    Signals({4}, 0);
    SendAll();
    h.Press(Qt::Key_F2);
    EXPECT_EQ(Pending(0), Command0(9, 10, 1));
    EXPECT_EQ(h.Note(), "Adjust the detectors in horizontal and vertical axis");
    EXPECT_EQ(h.Text("lAver"), "---");

    Signals({8, 4}, 2);  // the detector calibrates
    BarChart* chart = Chart("chTuneUp");
    EXPECT_DOUBLE_EQ(chart->X("serTuneUp"), SignalToMilliVolts(0, 0, 4));
    EXPECT_DOUBLE_EQ(chart->X("serMax"), SignalToMilliVolts(0, 0, 8));
    EXPECT_EQ(chart->Colour("serTuneUp"), QColor(255, 0, 0));
    Signals({9}, 0);  // not calibrating: frozen
    EXPECT_DOUBLE_EQ(chart->X("serTuneUp"), SignalToMilliVolts(0, 0, 4));

    h.Receive({word::State(2)});
    h.Press(Qt::Key_F8);  // the maximum comes down to the signal
    EXPECT_DOUBLE_EQ(chart->X("serMax"), chart->X("serTuneUp"));
    EXPECT_EQ(chart->Colour("serTuneUp"), QColor(0, 255, 0));
    EXPECT_EQ(h.Text("lTuneUpMax"), h.Text("lSignal"));

    SendAll();
    h.Press(Qt::Key_F3);  // hide queues the stop, the Setup page again while still calibrating
    EXPECT_EQ(Pending(0), Command0(9, 10, 0));
}

// A step that comes right after a redraw is refused by the redraw limit; the
// steady words after it are equal to the stored one and ask for nothing. The
// page still ends on the step, within the limit's period and a screen frame.
// Each page is reached by its key; the Settings page at the advanced level.
TEST_F(Pages, AStepRightAfterARedrawIsShownWhenTheLimitAllows) {
    const auto local = [](QString text) {
        return text.replace('.', QLocale::system().decimalPoint());
    };
    const QString mv = local(QString::number(SignalToMilliVolts(0, 0, 240), 'f', 3));
    const struct {
        const char* code;
        std::vector<int> keys;
        unsigned state, steady, step;
        const char* label;
        QString shown;  // the step as the label writes it
    } pages[] = {{nullptr, {Qt::Key_F2}, 2, 260, 240, "lSignal", mv},
                 {nullptr, {Qt::Key_F3}, 0, 260, 240, "lSenseSignal", mv},
                 {"5", {Qt::Key_F2, Qt::Key_F3}, 0, 520, 510, "lRangeSignalPlus", local("2.0%")}};
    const double period = 1.0 / 5, frame = 1.0 / 60;  // the default filter
    for (const auto& p : pages) {
        ConsoleHarness g;
        g.LinkUp(p.state, 2);
        if (p.code != nullptr) g.EnterAccessCode(QString::fromLatin1(p.code));
        for (int key : p.keys) g.Press(key);
        g.Tick(30);
        // Near the steady value, a redraw period apart, until the filter
        // against sudden jumps takes every word: the last one is redrawn.
        for (unsigned i = 0; i < 20; ++i) {
            g.clock.Advance(period);
            g.Receive({word::State(p.state), word::Signal(p.steady + i % 5)});
        }
        ASSERT_EQ(frame::Sig(g.Window().Core().Model().Word(1)), p.steady + 4) << p.label;
        const QString before = g.Text(p.label);
        ASSERT_NE(before, p.shown) << p.label;
        // The step, then the same word again every 5 ms.
        double waited = 0;
        do {
            g.clock.Advance(0.005);
            waited += 0.005;
            g.Receive({word::State(p.state), word::Signal(p.step)});
        } while (waited < period + frame && g.Text(p.label) == before);
        EXPECT_EQ(g.Text(p.label), p.shown) << p.label << " after " << waited << " s";
        EXPECT_GE(waited + 1e-9, period) << p.label;  // the limit's rate holds
    }
}

TEST_F(Pages, CalibrationShownWhileTheDetectorCalibratesQueuesNothing) {
    h.LinkUp(0, 2);
    h.Receive({word::State(2)});
    SendAll();
    h.Press(Qt::Key_F2);
    EXPECT_FALSE(Pending(0));
}

TEST_F(Pages, SetupLoadsManualAndAutoFromTheDetector) {
    h.LinkUp(0, 0);  // Manual, zone 10
    EXPECT_EQ(h.CurrentPage(), "tsSense");
    auto* regul = Find<PageComboBox>("cbRegulSense");
    auto* dist = Find<PageComboBox>("cbDistSense");
    auto* sense = Find<QSpinBox>("speSense");
    EXPECT_EQ(regul->currentText(), "Manual");
    EXPECT_FALSE(dist->isEnabled());
    EXPECT_EQ(dist->ShownText(), "---");
    EXPECT_EQ(dist->currentText(), "90");  // kept underneath
    EXPECT_TRUE(sense->isEnabled());
    EXPECT_EQ(sense->value(), SensToPercent(10));
    EXPECT_EQ(FocusName(), "cbRegulSense");
    h.Press(Qt::Key_F2);
    h.Press(Qt::Key_F3);
    EXPECT_EQ(h.Note(),
              "Walk test the perimeter\nCheck for alarms\nIf necessary, change the sensitivity");

    h.Receive({word::Zone(2, 1)});  // Auto, a zone index below 2
    h.Press(Qt::Key_Escape);
    EXPECT_EQ(regul->currentText(), "Auto");
    EXPECT_EQ(dist->currentText(), "10");
    EXPECT_EQ(dist->ShownText(), "10");
    EXPECT_FALSE(sense->isEnabled());
    EXPECT_EQ(sense->value(), SensToPercent(DefaultDistSens(2)));
    EXPECT_EQ(FocusName(), "cbDistSense");
}

TEST_F(Pages, SensitivityStepsByTwoWithinItsRangeAndTabFollowsTheGroup) {
    h.LinkUp(0, 0);
    auto* sense = Find<QSpinBox>("speSense");
    h.Press(Qt::Key_Tab);
    EXPECT_EQ(FocusName(), "speSense");  // the zone box is disabled in Manual
    sense->setValue(98);
    h.Press(Qt::Key_Up);
    h.Press(Qt::Key_Up);
    EXPECT_EQ(sense->value(), 100);
    sense->setValue(40);
    h.Press(Qt::Key_Down);
    h.Press(Qt::Key_Down);
    EXPECT_EQ(sense->value(), 38);
    h.Press(Qt::Key_5);  // no typing
    EXPECT_EQ(sense->value(), 38);
    h.Press(Qt::Key_Tab);
    EXPECT_EQ(FocusName(), "btnApplaySense");
    h.Press(Qt::Key_Tab);
    EXPECT_EQ(FocusName(), "btnCancelSense");
}

TEST_F(Pages, ApplySendsTheChosenSensitivityWithTheMethodsZone) {
    h.LinkUp(0, 0);
    SendAll();
    Find<QSpinBox>("speSense")->setValue(80);
    h.Press(Qt::Key_F4);  // Manual: the detector's zone, method 0
    EXPECT_EQ(Pending(0), Command0(9, 10, 0));
    EXPECT_EQ(Pending(1), Command1(10, 10, 1));
    EXPECT_EQ(Pending(2), Command2(2, 1, 10, 0));
    SendAll();

    auto* regul = Find<PageComboBox>("cbRegulSense");
    regul->setCurrentIndex(0);
    emit regul->activated(0);  // the user picks Auto, then 200 m
    auto* dist = Find<PageComboBox>("cbDistSense");
    dist->setCurrentIndex(19);
    emit dist->activated(19);
    const unsigned i = static_cast<unsigned>(DefaultDistSens(21));
    h.Press(Qt::Key_F4);
    EXPECT_EQ(Pending(0), Command0(9, i, 0));
    EXPECT_EQ(Pending(1), Command1(i, i, 1));
    EXPECT_EQ(Pending(2), Command2(2, 1, 21, 2));
}

TEST_F(Pages, SpecialPresetsAreLeftOnlyByAnsweringYes) {
    h.LinkUp(0, 1);
    auto* regul = Find<PageComboBox>("cbRegulSense");
    auto* apply = Find<QPushButton>("btnApplaySense");
    ASSERT_EQ(regul->currentText(), "Special");
    EXPECT_EQ(regul->count(), 3);
    EXPECT_FALSE(apply->isEnabled());
    SendAll();
    h.Press(Qt::Key_F4);  // a disabled Apply sends nothing
    EXPECT_FALSE(h.Window().Core().bCmdPending());
    h.Press(Qt::Key_Down);  // nor does the keyboard change the box
    EXPECT_EQ(regul->currentText(), "Special");

    Answer(QMessageBox::No);
    regul->showPopup();
    regul->hidePopup();
    EXPECT_EQ(question_,
              "The detector has specific operating presets.\nDo you want to change them?");
    EXPECT_EQ(regul->count(), 3);
    EXPECT_FALSE(apply->isEnabled());

    Answer(QMessageBox::Yes);
    regul->showPopup();
    regul->hidePopup();
    EXPECT_EQ(regul->count(), 2);
    EXPECT_EQ(regul->currentText(), "Auto");
    EXPECT_TRUE(apply->isEnabled());
    EXPECT_EQ(Find<QSpinBox>("speSense")->value(), SensToPercent(DefaultDistSens(10)));
}

TEST_F(Pages, AnAlarmCountsOnceOnItsEdgeAndOnlyOnItsPage) {
    h.LinkUp(0, 0);
    auto* count = h.Label("lTrvNumberSense");
    h.Receive({word::State(1), word::Speed(0)});
    EXPECT_EQ(count->text(), "0");  // not counting yet
    h.Receive({word::State(0), word::Speed(0)});

    h.Press(Qt::Key_F6);
    EXPECT_TRUE(count->isEnabled());
    h.Receive({word::State(1), word::Speed(0)});
    h.Receive({word::State(1), word::Speed(0), word::State(1), word::Speed(0)});
    EXPECT_EQ(count->text(), "1");

    h.Receive({word::State(2), word::Speed(0)});
    h.Receive({word::State(1), word::Speed(0)});  // Calibration to Alarm counts too
    EXPECT_EQ(count->text(), "2");

    h.Press(Qt::Key_F2);
    h.Receive({word::State(0), word::Speed(0), word::State(1), word::Speed(0)});
    h.Press(Qt::Key_F3);
    EXPECT_EQ(count->text(), "2");  // kept, and nothing counted elsewhere

    h.Press(Qt::Key_F7);
    EXPECT_EQ(count->text(), "0");
    h.Receive({word::State(0), word::Speed(0), word::State(1), word::Speed(0)});
    h.Press(Qt::Key_F6);  // off: back to 0, and F7 does nothing
    EXPECT_EQ(count->text(), "0");
    EXPECT_FALSE(count->isEnabled());
}

}  // namespace
}  // namespace quillane::test
