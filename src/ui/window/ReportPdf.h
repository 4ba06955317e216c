#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class QPaintDevice;

namespace quillane {

struct CommissioningReport;

// The commissioning report on A4 pages: the form the installer filled in,
// the detector and its settings in force, the calibration maximum, the walk
// test's alarms, a plot of its signal against the thresholds, the link
// outages and the detector's warnings, and lines to sign. The page number
// stands at the foot when it runs to more than one page. Every text wraps
// within the page's width. Runs on any thread (it draws, no widget).

// On a device as large as a page's printable area, which `newPage` turns to
// the next page: false, with the reason, when it could not be drawn.
bool PaintReport(const CommissioningReport& report, QPaintDevice& device,
                 const std::function<bool()>& newPage, QString& error);

// The PDF's bytes, made in memory; empty, with the reason, when it failed.
QByteArray ReportPdfBytes(const CommissioningReport& report, QString& error);

}  // namespace quillane
