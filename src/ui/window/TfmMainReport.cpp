// TfmMain's side of the site record and the commissioning report: the window
// hands the record the commands it queues, and Ctrl+P asks for the report's
// form, then has the report written beside the settings file on a thread of
// its own while the window and the line carry on.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QTextEdit>
#include <optional>

#include "console/ConsoleCore.h"
#include "console/record/CommissioningReport.h"
#include "console/record/RecordCsv.h"
#include "console/record/SiteMemory.h"
#include "console/record/SiteRecord.h"
#include "model/MessageTexts.h"
#include "os/Clock.h"
#include "ui/pages/ConsolePage.h"
#include "ui/widgets/ColourKit.h"
#include "ui/window/PageControl.h"
#include "ui/window/ReportNotice.h"
#include "ui/window/ReportWriter.h"
#include "ui/window/TfmMain.h"
#include "ui/window/TfrmReport.h"

#ifndef QUILLANE_VERSION
#define QUILLANE_VERSION "unknown"
#endif

namespace quillane {

void TfmMain::CommandQueued(std::uint16_t) { CommandWaiting(); }

void TfmMain::CommandRunQueued(const QueuedRun& run) { siteRecord_->CommandRunQueued(run); }

void TfmMain::FlushSiteRecord() {
    core_->CloseCommandRun();
    ForEachPage([](ConsolePage* p) { p->FlushSiteRecord(); });
    siteRecord_->Flush();
}

void TfmMain::BuildReportWriter() {
    reportWriter_ = new ReportWriter(this);
    connect(reportWriter_, &ReportWriter::Finished, this, &TfmMain::ReportWritten);
    siteMemory_ = std::make_unique<SiteMemory>(std::string(".") + '/' + files::kSitesFile);
    // At the right of the tab row, where no tab reaches, while a report is
    // being written: the note and the pages stay in sight.
    lReportBusy = new QLabel(this);
    lReportBusy->setObjectName(QStringLiteral("lReportBusy"));
    lReportBusy->setGeometry(600, 1, 176, 19);
    lReportBusy->setAlignment(Qt::AlignCenter);
    lReportBusy->setAutoFillBackground(true);
    QPalette p = lReportBusy->palette();
    p.setColor(QPalette::Window, ToQColor(colour::kMarkBackground));
    lReportBusy->setPalette(p);
    lReportBusy->hide();
}

void TfmMain::actReportExecute() {
    // One at a time; the label says one is under way.
    if (reportWriter_->Busy()) return;
    FlushSiteRecord();
    const double visitStart = siteRecord_->VisitStart().value_or(clock_.LocalDays());
    // The detector as it is now, should the link go while the dialog is open.
    const DetectorModel atKey = core_->Model();
    TfrmReport dialog(*siteMemory_, visitStart, this);
    const int choice = dialog.exec();
    if (choice == TfrmReport::kCancel) return;
    const ReportForm form = dialog.Form();
    // What happened while the dialog was open belongs to the report too.
    FlushSiteRecord();
    const double now = clock_.LocalDays();
    std::string rememberError;
    reportNote_.clear();
    if (!siteMemory_->Remember(form, now, rememberError))
        reportNote_ = QStringLiteral("\nThe form could not be kept for the next report:\n%1")
                          .arg(QString::fromStdString(rememberError));

    ReportWriter::Job job;
    job.scope = ReportScope{dialog.Span(), visitStart, now};
    const ReportSources sources{Linked() ? core_->Model() : atKey,
                                tables_,
                                format_,
                                settings_.dblKdc,
                                settings_.dblUrd,
                                now,
                                QUILLANE_VERSION};
    job.report = StartCommissioningReport(sources, form, job.scope);
    job.snapshot = siteRecord_->File().Snapshot();
    job.format = format_;
    job.folder = QDir::currentPath().toStdString();
    const bool csv = choice == TfrmReport::kCsv;
    job.kind = csv ? ReportWriter::Job::Kind::Csv : ReportWriter::Job::Kind::Report;
    job.name = csv ? RecordCsvFileName(now) : ReportFileName(now);
    lReportBusy->setText(csv ? QStringLiteral("Saving the CSV ...")
                             : QStringLiteral("Writing the report ..."));
    lReportBusy->show();
    lReportBusy->raise();
    reportWriter_->Start(std::move(job));
}

void TfmMain::ReportWritten(const ReportWriter::Result& result) {
    lReportBusy->hide();
    if (result.path.isEmpty()) {
        QMessageBox::warning(this, QCoreApplication::applicationName(),
                             QDir::toNativeSeparators(result.error));
        return;
    }
    const bool report = result.kind == ReportWriter::Job::Kind::Report;
    reportNotice_->Show(report ? QStringLiteral("Commissioning report written:")
                               : QStringLiteral("Record saved as CSV:"),
                        result.path, memoNote->parentWidget()->geometry(), reportNote_);
}

}  // namespace quillane
