// TfmMain's side of the site record and the commissioning report: the window
// hands the record the commands it queues, and Ctrl+P reads the record back
// into a PDF beside the settings file.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QTextEdit>

#include "console/ConsoleCore.h"
#include "console/record/CommissioningReport.h"
#include "console/record/RecordEntry.h"
#include "console/record/SiteRecord.h"
#include "os/Clock.h"
#include "ui/pages/ConsolePage.h"
#include "ui/window/PageControl.h"
#include "ui/window/ReportNotice.h"
#include "ui/window/ReportPdf.h"
#include "ui/window/TfmMain.h"

#ifndef QUILLANE_VERSION
#define QUILLANE_VERSION "unknown"
#endif

namespace quillane {
namespace {

// A second report within the same second gets a name of its own.
QString FreeReportPath(const std::string& name) {
    const QString base = QDir::current().absoluteFilePath(QString::fromStdString(name));
    QString path = base;
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = base.chopped(4) + QStringLiteral("-%1.pdf").arg(n);
    return path;
}

}  // namespace

void TfmMain::CommandQueued(std::uint16_t) { CommandWaiting(); }

void TfmMain::CommandRunQueued(const QueuedRun& run) { siteRecord_->CommandRunQueued(run); }

void TfmMain::FlushSiteRecord() {
    core_->CloseCommandRun();
    ForEachPage([](ConsolePage* p) { p->FlushSiteRecord(); });
    siteRecord_->Flush();
}

void TfmMain::actReportExecute() {
    FlushSiteRecord();
    const double now = clock_.LocalDays();
    const ReportSources sources{core_->Model(),   tables_, format_,         settings_.dblKdc,
                                settings_.dblUrd, now,     QUILLANE_VERSION};
    const CommissioningReport report =
        BuildCommissioningReport(sources, ParseRecord(siteRecord_->File().ReadBack()));
    const QString path = FreeReportPath(ReportFileName(now));
    QString error;
    if (!WriteReportPdf(report, path, error)) {
        QMessageBox::warning(this, QCoreApplication::applicationName(),
                             QStringLiteral("The commissioning report could not be written to "
                                            "\"%1\":\n%2")
                                 .arg(QDir::toNativeSeparators(path), error));
        return;
    }
    // Opens nothing: the installer hands the file on as it is.
    reportNotice_->Show(path, memoNote->parentWidget()->geometry());
}

}  // namespace quillane
