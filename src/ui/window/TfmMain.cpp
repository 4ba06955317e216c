#include "ui/window/TfmMain.h"

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
#include <cmath>
#include <optional>

#include "console/ConsoleCore.h"
#include "console/ScreenPlacement.h"
#include "console/SiteRecord.h"
#include "link/SerialPort.h"
#include "link/SystemPortDirectory.h"
#include "model/MessageTexts.h"
#include "protocol/SystemClock.h"
#include "ui/pages/AboutPage.h"
#include "ui/pages/CalibrationPage.h"
#include "ui/pages/PageContext.h"
#include "ui/pages/PropertiesPage.h"
#include "ui/pages/SettingsPage.h"
#include "ui/pages/SetupPage.h"
#include "ui/window/InfoPanel.h"
#include "ui/window/KeyActionList.h"
#include "ui/window/MakerLogo.h"
#include "ui/window/PageControl.h"
#include "ui/window/PortComboBox.h"

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
    // The core goes first: it may still speak to the line and to this view.
    core_.reset();
    port_.Close();
}

// The start-up state, in the order the console has always built it: the log
// must be prepared before the first trace, the view reset before the port list
// fills the note, and the settings read last.
void TfmMain::Construct() {
    // Before the core: the start-up reset already tells the record.
    siteRecord_ = std::make_unique<SiteRecord>(clock_, tables_,
                                               std::string(".") + '/' + files::kSiteRecordFile);
    core_ = std::make_unique<ConsoleCore>(port_, ports_, clock_, log_, *this);
    pageContext_.reset(new PageContext{*core_, tables_, settings_, IniFile, format_, clock_,
                                       dblLastRefresh,
                                       [this](const std::string& text) { SetNote(text); },
                                       [this](const std::string& text) { gbInfo->ShowAver(text); },
                                       [this] {
                                           core_->SetMaxTenPercent(settings_.iMaxTenPercent);
                                           ForEachPage([](ConsolePage* p) { p->TablesChanged(); });
                                       },
                                       *siteRecord_});
    BuildWindow();
    port_.Close();
    Timer->start();
    log_.EnableLogIfPresent();
    eAccessLevel = EAccBasic;
    dblLastRefresh = 0;
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

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setTimerType(Qt::PreciseTimer);
    Timer->setInterval(1);
    Timer->setSingleShot(true);
    connect(Timer, &QTimer::timeout, this, &TfmMain::TimerTimer);
    BuildWatchTimer();

    BuildPages();
    BuildNote();
    gbInfo = new InfoPanel(this);
    gbInfo->setGeometry(1, 0, 191, 329);
    PortComboBox* combo = gbInfo->cbComPort;
    combo->SetDropDownHandler([this] { cbComPortDropDown(); });
    connect(combo, &QComboBox::activated, this, &TfmMain::cbComPortChange);
    // While no detector is linked the port selector is the one control the
    // keyboard reaches, so F4 opens its list.
    combo->setFocus();
    BuildActionList();
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
    p.setColor(QPalette::Text, Qt::blue);
    memoNote->setPalette(p);
    QTextOption centred = memoNote->document()->defaultTextOption();
    centred.setAlignment(Qt::AlignHCenter);
    memoNote->document()->setDefaultTextOption(centred);
}

// ---- poll timer and port selection ----

void TfmMain::TimerTimer() {
    // Ticks never overlap: an error box or a nested loop inside this tick
    // must not start the next one.
    Timer->stop();
    bool runOn = false;
    try {
        runOn = core_->TimerTimer();
    } catch (const std::exception& e) {
        ShowError(e.what());
    } catch (...) {
        ShowError(std::string());
    }
    if (const auto health = core_->LinkHealthDue())
        gbInfo->ShowLinkHealth(LinkHealthText(*health, format_));
    // An error leaves the timer stopped until a port that opens is chosen.
    if (runOn) Timer->start();
}

void TfmMain::BuildWatchTimer() {
    watchTimer_ = new QTimer(this);
    watchTimer_->setObjectName(QStringLiteral("watchTimer"));
    watchTimer_->setTimerType(Qt::PreciseTimer);
    watchTimer_->setSingleShot(true);
    connect(watchTimer_, &QTimer::timeout, this, &TfmMain::WatchTimer);
}

void TfmMain::WatchTimer() {
    core_->Watch();
    ArmWatch();
}

void TfmMain::ArmWatch() {
    const std::optional<double> due = core_->WatchDueIn();
    if (!due) {
        watchTimer_->stop();
        return;
    }
    watchTimer_->start(static_cast<int>(std::ceil(*due * 1000.0)));
}

void TfmMain::cbComPortDropDown() { core_->cbComPortDropDown(); }

void TfmMain::cbComPortChange() {
    if (core_->cbComPortChange()) Timer->start();
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
    SetNote(note::kEmpty);
    FlushSiteRecord();
    // A detector left in calibration would not guard its zone: also one
    // that a start still on its way would put there, or that a stop on its
    // way has not yet taken out.
    if (core_->DetectorCalibrating() || core_->CalibrationAhead()) {
        core_->StopCalibrationAndWait(
            [] { QCoreApplication::processEvents(QEventLoop::AllEvents, 1); });
    }
    port_.Close();
    Timer->stop();
    watchTimer_->stop();
}

// ---- helpers ----

bool TfmMain::Linked() const { return core_ && core_->Linked(); }

void TfmMain::ShowError(const std::string& message) {
    QMessageBox::critical(this, QCoreApplication::applicationName(),
                          QString::fromStdString(message));
}

}  // namespace quillane
