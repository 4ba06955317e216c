// TfmMain's side of the site record and the commissioning report: the window
// hands the record the commands it queues, and Ctrl+P asks for the report's
// form, then has the report written beside the settings file on a thread of
// its own while the window and the line carry on.
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
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
        reportNote_ = QStringLiteral("\n\nThe form could not be kept for the next report:\n%1")
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
    // Offered, never done unasked: the installer may only want to hand the
    // file on. The box does not wait: the window and the line go on.
    const bool report = result.kind == ReportWriter::Job::Kind::Report;
    const QString path = QDir::toNativeSeparators(QFileInfo(result.path).absoluteFilePath());
    auto* box = new QMessageBox(QMessageBox::Information, QCoreApplication::applicationName(),
                                (report ? QStringLiteral("Commissioning report written:\n%1")
                                        : QStringLiteral("Record saved as CSV:\n%1"))
                                        .arg(path) +
                                    QDir::toNativeSeparators(reportNote_),
                                QMessageBox::Close, this);
    box->setObjectName(QStringLiteral("mbReportWritten"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* file =
        box->addButton(report ? QStringLiteral("Open report") : QStringLiteral("Open file"),
                       QMessageBox::ActionRole);
    file->setObjectName(QStringLiteral("btnOpenReport"));
    QPushButton* folder = box->addButton(QStringLiteral("Open folder"), QMessageBox::ActionRole);
    folder->setObjectName(QStringLiteral("btnOpenFolder"));
    box->setDefaultButton(file);
    box->setEscapeButton(QMessageBox::Close);
    // The system's own viewer; a machine without one says so.
    const auto open = [this](const QString& what) {
        if (QDesktopServices::openUrl(QUrl::fromLocalFile(what))) return;
        QMessageBox::warning(this, QCoreApplication::applicationName(),
                             QStringLiteral("No program on this machine opens\n%1")
                                 .arg(QDir::toNativeSeparators(what)));
    };
    const QString written = QFileInfo(result.path).absoluteFilePath();
    connect(file, &QPushButton::clicked, this, [open, written] { open(written); });
    connect(folder, &QPushButton::clicked, this,
            [open, written] { open(QFileInfo(written).absolutePath()); });
    box->open();
}

}  // namespace quillane
