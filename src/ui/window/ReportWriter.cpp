#include "ui/window/ReportWriter.h"

#include <utility>

#include "console/record/RecordCsv.h"
#include "console/record/ReportFile.h"
#include "ui/window/ReportPdf.h"

namespace quillane {

ReportWriter::~ReportWriter() {
    if (worker_.joinable()) worker_.join();
}

void ReportWriter::Start(Job job) {
    if (busy_) return;
    if (worker_.joinable()) worker_.join();
    busy_ = true;
    worker_ = std::thread([this, job = std::move(job)]() mutable {
        const Result result = Run(std::move(job));
        // Handed to the window's thread; a writer gone meanwhile takes the
        // call with it.
        QMetaObject::invokeMethod(
            this,
            [this, result] {
                busy_ = false;
                emit Finished(result);
            },
            Qt::QueuedConnection);
    });
}

ReportWriter::Result ReportWriter::Run(Job job) {
    Result result;
    result.kind = job.kind;
    const QString what = job.kind == Job::Kind::Report ? QStringLiteral("commissioning report")
                                                       : QStringLiteral("record as CSV");
    std::string bytes;
    if (job.kind == Job::Kind::Report) {
        AddVisit(job.report, ReadVisit(job.snapshot, job.scope), job.scope, job.format);
        result.report = job.report;
        QString why;
        const QByteArray pdf = ReportPdfBytes(job.report, why);
        if (pdf.isEmpty()) {
            result.error = QStringLiteral("The %1 could not be made:\n%2").arg(what, why);
            return result;
        }
        bytes.assign(pdf.constData(), static_cast<std::size_t>(pdf.size()));
    } else {
        bytes = RecordCsv(job.snapshot, job.scope);
    }
    std::string reason;  // names the file
    const std::optional<std::string> written = WriteReportFile(job.folder, job.name, bytes, reason);
    if (!written) {
        result.error = QStringLiteral("The %1 could not be written:\n%2")
                           .arg(what, QString::fromStdString(reason));
        return result;
    }
    result.path = QString::fromStdString(*written);
    return result;
}

}  // namespace quillane
