#include "ui/window/TfmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QTabBar>
#include <QTextEdit>
#include <QTimer>
#include <optional>

#include "console/ConsoleCore.h"
#include "console/pages/ModeRule.h"
#include "console/pages/ScreenPlacement.h"
#include "console/record/SiteMemory.h"
#include "console/record/SiteRecord.h"
#include "link/SerialPort.h"
#include "link/SystemPortDirectory.h"
#include "model/MessageTexts.h"
#include "os/SystemClock.h"
#include "remote/ViewServer.h"
#include "ui/pages/AboutPage.h"
#include "ui/pages/CalibrationPage.h"
#include "ui/pages/PageContext.h"
#include "ui/pages/PropertiesPage.h"
#include "ui/pages/SettingsPage.h"
#include "ui/pages/SetupPage.h"
#include "ui/widgets/ColourKit.h"
#include "ui/window/InfoPanel.h"
#include "ui/window/KeyActionList.h"
#include "ui/window/LineWatch.h"
#include "ui/window/MakerLogo.h"
#include "ui/window/PageControl.h"
#include "ui/window/PortComboBox.h"
#include "ui/window/ReportNotice.h"

namespace quillane {
namespace {

// The window measures 786 x 446 with its frame and caption; what the frame of
// a fixed dialog-style window takes leaves this client area, which holds the
// panels at their places with the 1-2 pixel margin they were laid out with.
constexpr int kClientWidth = 780;
constexpr int kClientHeight = 418;

// The user's decimal separator, for every number the console shows or stores.
NumberFormat LocaleFormat() {
    const QString point = QLocale::system().decimalPoint();
    const char sep = point.size() == 1 && point.at(0).unicode() < 0x80
                         ? static_cast<char>(point.at(0).unicode())
                         : '.';
    return NumberFormat(sep);
}

// The window was laid out in Tahoma 8 pt (11 px); a machine without it gets
// the nearest sans font of the same pixel height, so the fixed places still fit.
QFont WindowFont() {
    QFont f;
    f.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"),
                   QStringLiteral("Arial"), QStringLiteral("Nimbus Sans"),
                   QStringLiteral("DejaVu Sans")});
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(11);
    return f;
}

QFont NoteFont() {
    QFont f;
    f.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                   QStringLiteral("Nimbus Roman"), QStringLiteral("DejaVu Serif")});
    f.setStyleHint(QFont::Serif);
    f.setPixelSize(16);
    f.setBold(true);
    f.setItalic(true);
    return f;
}

}  // namespace

// The machine's own line, port list and clocks, for the production window.
struct TfmMain::OwnedLine {
    SerialPort port;
    SystemPortDirectory ports;
    SystemClock clock;
};

TfmMain::TfmMain(QWidget* parent) : TfmMain(std::make_unique<OwnedLine>(), parent) {}

TfmMain::TfmMain(std::unique_ptr<OwnedLine> line, QWidget* parent)
    : TfmMain(line->port, line->ports, line->clock, parent) {
    ownedLine_ = std::move(line);
}

TfmMain::TfmMain(ByteLink& port, PortDirectory& ports, Clock& clock, QWidget* parent)
    : QWidget(parent),
      port_(port),
      ports_(ports),
      clock_(clock),
      format_(LocaleFormat()),
      IniFile(std::string(".") + '/' + files::kSettingsFile),
      tables_(format_),
      log_(clock_) {
    Construct();
}

TfmMain::~TfmMain() {
    // Hidden while the tables and settings are still there: hiding ends an
    // open cell editor on the Properties page, which writes its text into a
    // grid of tables_; the base class would hide the window only after the
    // members have gone.
    hide();
    StopRemoteView();
    // What the record writes as it goes is told no one now.
    siteRecord_->OnFileProblem(nullptr);
    // The core goes first: it may still speak to the line and to this view.
    core_.reset();
    ForgetLine();
    port_.Close();
}

// The start-up state, in the order the console has always built it: the log
// must be prepared before the first trace, the view reset before the port list
// fills the note, and the settings read last.
void TfmMain::Construct() {
    // Before the core: the start-up reset already tells the record.
    siteRecord_ = std::make_unique<SiteRecord>(clock_, tables_,
                                               std::string(".") + '/' + files::kSiteRecordFile);
    // Shown once the pass or handler that wrote the line is over, so that the
    // box's own message loop never runs inside it.
    siteRecord_->OnFileProblem([this](const std::string& message) {
        QTimer::singleShot(0, this, [this, message] { ShowError(message); });
    });
    core_ = std::make_unique<ConsoleCore>(port_, ports_, clock_, log_, *this);
    pageContext_.reset(
        new PageContext{*core_, tables_, settings_, IniFile, format_, clock_, refreshLimit_,
                        frameLimit_, [this](const std::string& text) { SetNote(text); },
                        [this](const std::string& text) { gbInfo->ShowAver(text); },
                        [this] {
                            core_->SetMaxTenPercent(settings_.iMaxTenPercent);
                            ForEachPage([](ConsolePage* p) { p->TablesChanged(); });
                        },
                        *siteRecord_,
                        [this](Page page, SiteRecord::Count change, long long count) {
                            countedAlarms_.Note(page, change, count, clock_.LocalDays());
                            RemoteViewChanged();
                        }});
    BuildWindow();
    port_.Close();
    Timer->start();
    log_.EnableLogIfPresent();
    eAccessLevel = EAccBasic;
    refreshLimit_.dblLastRefresh = 0;
    sBaseCaption = windowTitle().toStdString();
    core_->ResetDetectorView();
    core_->cbComPortDropDown();
    ReadSettingsFile();
}

void TfmMain::ReadSettingsFile() {
    ReadSettings(IniFile, format_, settings_);
    TakeFilterSelections(settings_);
    tables_.Fill(IniFile);
    core_->SetDistSens([this](int zone) { return tables_.DistSens(zone); });
    pageContext_->tablesChanged();
}

void TfmMain::BuildWindow() {
    setObjectName(QStringLiteral("fmMain"));
    setWindowTitle(QString::fromLatin1(kBaseCaption));
    setFont(WindowFont());
    setFixedSize(kClientWidth, kClientHeight);
    // A window of fixed size has nothing to maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect free = screen->availableGeometry();
        const ScreenPoint at =
            PlaceOnScreen({free.x(), free.y(), free.width(), free.height()}, width(), height());
        move(at.x, at.y);
    }

    BuildTimers();
    BuildPages();
    BuildNote();
    gbInfo = new InfoPanel(this);
    gbInfo->setGeometry(1, 0, 191, 329);
    PortComboBox* combo = gbInfo->cbComPort;
    combo->SetDropDownHandler([this] { cbComPortDropDown(); });
    combo->SetCloseUpHandler([this] { cbComPortCloseUp(); });
    connect(combo, &QComboBox::activated, this, &TfmMain::cbComPortChange);
    connect(gbInfo, &InfoPanel::LinkHealthWanted, this, &TfmMain::ShowLinkHealth);
    reportNotice_ = new ReportNotice(this);
    // While no detector is linked the port selector is the one control the
    // keyboard reaches, so F4 opens its list.
    combo->setFocus();
    BuildActionList();
    BuildReportWriter();
    BuildRemoteView();
}

// The poll cycle's one timer and the watch on the line; each wake plans the
// next.
void TfmMain::BuildTimers() {
    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setTimerType(Qt::PreciseTimer);
    Timer->setInterval(1);
    connect(Timer, &QTimer::timeout, this, &TfmMain::TimerWake);
    lineWatch_ = new LineWatch(this);
    connect(lineWatch_, &LineWatch::Readable, this, &TfmMain::TimerTimer);
    refreshLimit_.refused = [this] { Replan(); };
    frameLimit_.refused = [this] { Replan(); };
    // Every dialog and message box of the application, to see them open.
    qApp->installEventFilter(this);
}

bool TfmMain::eventFilter(QObject* watched, QEvent* event) {
    // A modal dialog may block the wake that opened it (an error box) for as
    // long as it stays open: what the exchange log holds goes to the disk
    // before it shows.
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        const auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow() && widget->isModal()) log_.Flush();
    }
    return QWidget::eventFilter(watched, event);
}

// The only place that names the pages' classes: from here on the window
// speaks to them through their hooks.
void TfmMain::BuildPages() {
    pcMain = new PageControl(this);
    pcMain->setObjectName(QStringLiteral("pcMain"));
    pcMain->setGeometry(192, 0, 587, 329);
    pcMain->setFocusPolicy(Qt::NoFocus);
    pcMain->tabBar()->setFocusPolicy(Qt::NoFocus);
    PageContext& context = *pageContext_;
    AddPage(new CalibrationPage(context), "Calibration <F2>");
    AddPage(new SetupPage(context), "Setup <F3>");
    AddPage(new SettingsPage(context), "Settings <F3>");
    AddPage(new PropertiesPage(context), "Properties <F9>");
    AddPage(new AboutPage(context), "About Us <F1>");
    // About is in view when the window first shows; no page hears of it.
    pcMain->SetActivePage(PageOf(Page::About));
    connect(pcMain, &PageControl::PageChanged, this, &TfmMain::pcMainChange);
}

void TfmMain::AddPage(ConsolePage* page, const char* caption) {
    pages_.push_back(page);
    pcMain->addTab(page, QString::fromLatin1(caption));
}

void TfmMain::BuildNote() {
    auto* pVelmo = new QFrame(this);
    pVelmo->setObjectName(QStringLiteral("pVelmo"));
    pVelmo->setGeometry(0, 328, 191, 89);
    auto* iVelmo = new QLabel(pVelmo);
    iVelmo->setObjectName(QStringLiteral("iVelmo"));
    iVelmo->setGeometry(0, 0, 191, 89);
    iVelmo->setScaledContents(true);
    iVelmo->setPixmap(MakerLogo());

    auto* pNote = new QFrame(this);
    pNote->setObjectName(QStringLiteral("pNote"));
    pNote->setGeometry(191, 328, 587, 88);
    pNote->setFrameStyle(QFrame::Panel | QFrame::Raised);

    memoNote = new QTextEdit(pNote);
    memoNote->setObjectName(QStringLiteral("memoNote"));
    memoNote->setGeometry(24, 10, 545, 71);
    memoNote->setReadOnly(true);
    memoNote->setFrameStyle(QFrame::NoFrame);
    memoNote->setFocusPolicy(Qt::NoFocus);
    memoNote->setTextInteractionFlags(Qt::NoTextInteraction);
    memoNote->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memoNote->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memoNote->setFont(NoteFont());
    QPalette p = memoNote->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Button));
    p.setColor(QPalette::Text, ToQColor(colour::kBlue));
    memoNote->setPalette(p);
    QTextOption centred = memoNote->document()->defaultTextOption();
    centred.setAlignment(Qt::AlignHCenter);
    memoNote->document()->setDefaultTextOption(centred);
}

// ---- the poll cycle and port selection ----

void TfmMain::TimerTimer() { Wake(kWakePass); }

void TfmMain::TimerWake() {
    // A wake that runs a nested loop (an error box) lets the timer fire
    // inside it: it rests until that wake plans anew.
    if (inWake_) {
        Timer->stop();
        return;
    }
    timerWoke_ = true;
    Wake(timerJobs_);
    timerWoke_ = false;
}

void TfmMain::Wake(unsigned jobs) {
    // Wakes never overlap: an error box or a nested loop inside one must not
    // start the next. What woke meanwhile is planned anew below.
    if (inWake_) return;
    inWake_ = true;
    if (jobs & kWakeWatch) {
        // A try may close a silent line to open it again: no wait may be
        // pending on a handle that closes. The plan takes the line up again.
        lineWatch_->Pause();
        core_->Watch();
    }
    if (jobs & kWakePass) Pass();
    if (jobs & kWakeRedraw) RedrawTimerTimer();
    if (jobs & kWakeFrame) PresentWaitingFrame();
    if (jobs & kWakeLog) log_.Flush();
    RemoteViewDue();
    inWake_ = false;
    Replan();
}

void TfmMain::Pass() {
    firstPassDone_ = true;
    lineWatch_->Pause();
    bool runOn = false;
    try {
        runOn = core_->TimerTimer();
    } catch (const std::exception& e) {
        ShowError(e.what());
    } catch (...) {
        ShowError(std::string());
    }
    ShowLinkHealth();
    // An error stops polling until a port that opens is chosen.
    polling_ = runOn;
    FollowModel();
}

void TfmMain::Replan() {
    if (inWake_ || !core_ || !firstPassDone_) return;
    // A redraw done here may ask for another plan: this one follows it.
    inWake_ = true;
    WakePlan plan;
    for (;;) {
        const double now = clock_.MonotonicSeconds();
        WakeFacts facts = core_->Facts(polling_, now);
        facts.redrawIn = refreshLimit_.TrailingIn(now, settings_.iSelectFilter);
        facts.frameIn = frameLimit_.TrailingIn(now, RedrawLimit::kFramesPerSecond);
        RemoteViewFacts(facts, now);
        if (timerWoke_ && Timer->isActive()) facts.repeatingMs = Timer->interval();
        plan = PlanWake(facts);
        if (!plan.redrawNow) break;
        RedrawTimerTimer();
    }
    inWake_ = false;
    if (plan.watchLine)
        lineWatch_->Watch(port_);
    else if (port_.IsOpen())
        lineWatch_->Pause();
    else
        ForgetLine();  // closed under the watch: its device went away
    if (!plan.timer)
        Timer->stop();
    else if (!plan.keepTimer)
        Timer->start(plan.timer->ms);
    timerJobs_ = plan.timer ? plan.timer->jobs : 0;
}

void TfmMain::ForgetLine() { lineWatch_->Forget(); }

void TfmMain::ShowLinkHealth() {
    if (const auto health = core_->LinkHealthDue())
        gbInfo->ShowLinkHealth(LinkHealthText(*health, format_));
}

// Its first send goes at the next tick.
void TfmMain::CommandWaiting() { Replan(); }

// The console opened a port by itself: polling goes on there.
void TfmMain::Reconnected() {
    polling_ = true;
    Replan();
}

void TfmMain::cbComPortDropDown() {
    noteBeforeList_ = memoNote->toPlainText().toStdString();
    ForgetLine();
    core_->cbComPortDropDown();
    Replan();
}

void TfmMain::cbComPortCloseUp() {
    // A choice, which comes after, sets a note of its own.
    if (noteBeforeList_ && memoNote->toPlainText().toStdString() == note::kSelectPort)
        SetNote(*noteBeforeList_);
    noteBeforeList_.reset();
}

void TfmMain::cbComPortChange() {
    ForgetLine();
    // A port that does not open leaves polling as it was.
    if (core_->cbComPortChange()) polling_ = true;
    Replan();
}

// ---- the redraws that wait ----

void TfmMain::RedrawTimerTimer() {
    // From the words stored now: the limit allows it by now (or refuses it
    // once more, and the planner comes back).
    if (refreshLimit_.TakeTrailing()) FollowModel();
}

void TfmMain::PresentWaitingFrame() {
    if (frameLimit_.TakeTrailing()) ActiveConsolePage()->PresentFrame();
}

// ---- shutdown ----

void TfmMain::closeEvent(QCloseEvent* event) {
    // The calibration-off wait runs the message loop, so a second close can
    // arrive inside it; that one is dropped and the first finishes the job.
    if (closing_) {
        event->ignore();
        return;
    }
    closing_ = true;
    FormClose();
    closing_ = false;
    event->accept();
}

void TfmMain::FormClose() {
    // The phones learn at once that the console is gone.
    StopRemoteView();
    SetNote(note::kEmpty);
    FlushSiteRecord();
    if (ModeCommandAtClose(core_->DetectorCalibrating(), core_->CalibrationAhead()) ==
        ModeCommand::StopCalibration) {
        core_->StopCalibrationAndWait(
            [] { QCoreApplication::processEvents(QEventLoop::AllEvents, 1); });
    }
    ForgetLine();
    port_.Close();
    Timer->stop();
    log_.Flush();
}

// ---- helpers ----

bool TfmMain::Linked() const { return core_ && core_->Linked(); }

void TfmMain::ShowError(const std::string& message) {
    QMessageBox::critical(this, QCoreApplication::applicationName(),
                          QString::fromStdString(message));
}

}  // namespace quillane
