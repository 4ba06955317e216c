#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <string>
#include <thread>

#include "console/record/CommissioningReport.h"
#include "console/record/RecordReader.h"
#include "console/record/VisitReader.h"
#include "model/NumberFormat.h"

namespace quillane {

// Writes a commissioning report, or the record of its span as CSV, on a
// thread of its own: reading the record and drawing the PDF take long
// enough to hold up the window and the line's 1 ms poll otherwise. The
// window hands over copies of all it needs (the detector's values, a
// snapshot of the record); the thread touches nothing of the window's.
class ReportWriter : public QObject {
    Q_OBJECT

public:
    struct Job {
        enum class Kind { Report, Csv };
        Kind kind = Kind::Report;
        CommissioningReport report;  // begun on the window's thread
        RecordSnapshot snapshot;
        ReportScope scope;
        NumberFormat format;
        // Where it goes: the next free name from `name` in `folder`.
        std::string folder, name;
    };
    struct Result {
        Job::Kind kind = Job::Kind::Report;
        QString path;                // written here
        QString error;               // or not written, and why
        CommissioningReport report;  // what a report written says
    };

    explicit ReportWriter(QObject* parent = nullptr) : QObject(parent) {}
    // Waits for a job under way: the file it writes is whole or not there.
    ~ReportWriter() override;

    // One job at a time.
    bool Busy() const { return busy_; }
    void Start(Job job);

    // The job's work, on whatever thread calls it.
    static Result Run(Job job);

signals:
    // On the window's thread, once the job is done.
    void Finished(const quillane::ReportWriter::Result& result);

private:
    std::thread worker_;
    std::atomic<bool> busy_{false};
};

}  // namespace quillane
