// TfmMain's side of the site record and the commissioning report: the window
// hands the record the commands it queues, and Ctrl+P reads the record back
// into a PDF beside the settings file.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTextEdit>
#include <optional>

#include "console/ConsoleCore.h"
#include "console/record/CommissioningReport.h"
#include "console/record/RecordEntry.h"
#include "console/record/ReportFile.h"
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

// The PDF is made whole in a private folder of its own, then copied beside
// the settings file under a name nothing held before: that folder may be
// shared, and a link planted at the predictable name must not take it
// elsewhere. The path written; empty, with what went wrong, when none was.
QString WriteReport(const CommissioningReport& report, const std::string& name, QString& error) {
    QTemporaryDir work;
    const QString made = work.filePath(QStringLiteral("report.pdf"));
    QFile pdf(made);
    QString why;
    if (!work.isValid() || !WriteReportPdf(report, made, why) || !pdf.open(QIODevice::ReadOnly)) {
        if (why.isEmpty()) why = work.isValid() ? pdf.errorString() : work.errorString();
        error = QStringLiteral("The commissioning report could not be made:\n%1").arg(why);
        return {};
    }
    const QByteArray bytes = pdf.readAll();
    std::string reason;  // names the file
    const std::optional<std::string> written =
        WriteReportFile(QDir::currentPath().toStdString(), name, bytes.toStdString(), reason);
    if (!written) {
        error = QStringLiteral("The commissioning report could not be written:\n%1")
                    .arg(QDir::toNativeSeparators(QString::fromStdString(reason)));
        return {};
    }
    return QString::fromStdString(*written);
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
    CommissioningReport report =
        BuildCommissioningReport(sources, ParseRecord(siteRecord_->File().ReadBack()));
    report.recordIncomplete = siteRecord_->File().Incomplete();
    QString error;
    const QString path = WriteReport(report, ReportFileName(now), error);
    if (path.isEmpty()) {
        QMessageBox::warning(this, QCoreApplication::applicationName(), error);
        return;
    }
    // Opens nothing: the installer hands the file on as it is.
    reportNotice_->Show(path, memoNote->parentWidget()->geometry());
}

}  // namespace quillane
