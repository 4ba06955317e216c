// TfmMain's side of the phone view: F12 and its dialog, the server's start
// and stop, and the snapshots the window hands it. The server runs on threads
// of its own; the window's thread only builds a small message, at the phones'
// pace or at once for news (SnapshotSendOf), and only while the view is shared.
#include <QAction>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "console/ConsoleCore.h"
#include "console/line/WakePlan.h"
#include "console/phone/RemoteView.h"
#include "console/phone/SnapshotPace.h"
#include "os/Clock.h"
#include "remote/ViewServer.h"
#include "remote/ViewSocket.h"
#include "ui/pages/ConsolePage.h"
#include "ui/window/InfoPanel.h"
#include "ui/window/RemoteViewDialog.h"
#include "ui/window/TfmMain.h"

namespace quillane {
namespace {

constexpr double kTickSeconds = 1.0;

}  // namespace

void TfmMain::BuildRemoteView() {
    // Not in the action list: sharing is wanted before a detector is linked
    // too, when the list is suspended.
    auto* act = new QAction(QStringLiteral("Phone view"), this);
    act->setObjectName(QStringLiteral("actRemoteView"));
    act->setShortcut(QKeySequence(Qt::Key_F12));
    act->setShortcutContext(Qt::WindowShortcut);
    addAction(act);
    connect(act, &QAction::triggered, this, &TfmMain::actRemoteViewExecute);

    // A snapshot the rate refused goes when the planner wakes the console
    // for it (or with the pass that comes first).
    remoteLimit_.refused = [this] { Replan(); };

    remotePort_ = RemoteViewDialog::kDefaultPort;
    ShowRemoteViewState();
}

void TfmMain::actRemoteViewExecute() {
    if (!remoteDialog_) {
        remoteDialog_ = new RemoteViewDialog(this);
        connect(remoteDialog_, &RemoteViewDialog::SharingWanted, this, &TfmMain::RemoteViewWanted);
        ShowRemoteViewState();
    }
    if (!remoteDialog_->isVisible()) {
        remoteDialog_->PlaceBesideOwner();
        remoteDialog_->show();
    }
    remoteDialog_->raise();
    remoteDialog_->activateWindow();
}

void TfmMain::RemoteViewWanted(bool on, int port) {
    if (!on) {
        StopRemoteView();
        return;
    }
    std::string error;
    StartRemoteView(port, error);
}

bool TfmMain::StartRemoteView(int port, std::string& error) {
    StopRemoteView();
    auto server = std::make_unique<ViewServer>();
    if (!server->Start(port, error)) {
        remotePort_ = port > 0 ? port : remotePort_;
        ShowRemoteViewState(QString::fromStdString(error));
        return false;
    }
    viewServer_ = std::move(server);
    remotePort_ = viewServer_->Port();
    const double now = clock_.MonotonicSeconds();
    remoteLimit_.dblLastRefresh = 0;
    remoteLimit_.TakeTrailing();
    remoteLimit_.Pass(now);
    remoteTickAt_ = now + kTickSeconds;
    PublishRemoteView();
    ShowRemoteViewState();
    Replan();
    return true;
}

void TfmMain::StopRemoteView() {
    if (!viewServer_) return;
    viewServer_->Stop();
    viewServer_.reset();
    ShowRemoteViewState();
}

std::vector<std::string> TfmMain::RemoteViewAddresses() const {
    std::vector<std::string> addresses;
    if (!viewServer_) return addresses;
    for (const std::string& host : viewsocket::LocalIpv4Addresses())
        addresses.push_back(viewServer_->Address(host));
    return addresses;
}

void TfmMain::RemoteViewChanged() {
    if (!viewServer_) return;
    const double now = clock_.MonotonicSeconds();
    const PhoneNews news{RemoteLinkOf(core_->eDeviceState(), detectorSeen_),
                         countedAlarms_.Serial()};
    if (SnapshotSendOf(remoteSent_, news) == SnapshotSend::AtOnce) {
        // It carries whatever waited for the pace, and the pace counts from it.
        remoteLimit_.TakeTrailing();
        remoteLimit_.Pass(now);
        PublishRemoteView();
    } else if (remoteLimit_.Allow(now, kPhoneSnapshotsPerSecond)) {
        // A snapshot the pace refuses waits for the planner (remoteLimit_.refused).
        PublishRemoteView();
    }
}

void TfmMain::RemoteViewFacts(WakeFacts& facts, double now) const {
    if (!viewServer_) return;
    facts.phoneIn = remoteLimit_.TrailingIn(now, kPhoneSnapshotsPerSecond);
    facts.phoneTickIn = remoteTickAt_ - now;
}

void TfmMain::RemoteViewDue() {
    if (!viewServer_) return;
    const double now = clock_.MonotonicSeconds();
    if (now >= remoteTickAt_) {
        // After a long wake (a dialog open) the ticks missed are not made up.
        remoteTickAt_ = std::max(remoteTickAt_ + kTickSeconds, now);
        RemoteViewTick();
    }
    const auto in = remoteLimit_.TrailingIn(now, kPhoneSnapshotsPerSecond);
    if (in && *in <= 0 && remoteLimit_.TakeTrailing()) {
        remoteLimit_.Pass(now);
        PublishRemoteView();
    }
}

void TfmMain::RemoteViewTick() {
    RemoteViewChanged();
    const int viewers = viewServer_->Viewers();
    gbInfo->ShowRemoteView(QString::fromStdString(SharingText(true, viewers)));
    if (remoteDialog_) remoteDialog_->ShowViewers(viewers);
}

void TfmMain::PublishRemoteView() {
    const Page page = ActivePage();
    // The walk test's counter is the one of the page the access level offers.
    const Page walk = eAccessLevel == EAccBasic ? Page::Setup : Page::Settings;
    const PageHeld held = ActiveConsolePage()->Held();
    const PageHeld walkHeld = page == walk ? held : PageOf(walk)->Held();
    AlarmTally tally;
    tally.page = walk;
    const RemoteViewSources sources{
        core_->Model(), core_->eDeviceState(),          detectorSeen_,  page,
        held,           walkHeld.tally.value_or(tally), countedAlarms_, tables_,
        format_};
    const RemoteViewValues v = RemoteViewOf(sources);
    remoteSent_ = PhoneNewsOf(v);
    viewServer_->Publish(RemoteViewJson(v));
}

void TfmMain::ShowRemoteViewState(const QString& problem) {
    gbInfo->ShowRemoteView(QString::fromStdString(SharingText(viewServer_ != nullptr, 0)));
    if (!remoteDialog_) return;
    if (!viewServer_) {
        remoteDialog_->ShowOff(remotePort_, problem);
        return;
    }
    QStringList addresses;
    for (const std::string& a : RemoteViewAddresses()) addresses << QString::fromStdString(a);
    remoteDialog_->ShowSharing(remotePort_, addresses);
}

}  // namespace quillane
