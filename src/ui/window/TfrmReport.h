#pragma once

#include <QDialog>

#include "console/record/ReportForm.h"
#include "console/record/VisitReader.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace quillane {

class SiteMemory;

// The dialog behind Ctrl+P: what the customer's document names (site, zone
// or detector, customer, installer, notes), the installer's verdict of the
// walk test, and the span the report covers. The keyboard is enough: Enter
// writes the report, Ctrl+S saves the record of the span as CSV instead, Esc
// cancels. It starts with the form used last, and a site typed in that was
// remembered brings back its own form.
class TfrmReport : public QDialog {
    Q_OBJECT

public:
    // The dialog's results.
    enum Choice { kCancel = 0, kReport = 1, kCsv = 2 };

    // `visitStartDays`: when the visit began, for the span's caption.
    TfrmReport(SiteMemory& memory, double visitStartDays, QWidget* parent = nullptr);

    ReportForm Form() const;
    ReportSpan Span() const;

private:
    void BuildControls(double visitStartDays);
    void Fill(const ReportForm& form);
    // The site was typed in: its own form, when one was remembered.
    void edSiteEditingFinished();
    void Choose(Choice choice);

    SiteMemory& memory_;
    QString filledFor_;  // the site whose form the fields hold
    QLineEdit* edSite = nullptr;
    QLineEdit* edZone = nullptr;
    QLineEdit* edCustomer = nullptr;
    QLineEdit* edInstaller = nullptr;
    QLineEdit* edNotes = nullptr;
    QComboBox* cbVerdict = nullptr;
    QComboBox* cbSpan = nullptr;
    QPushButton* btnReportWrite = nullptr;
    QPushButton* btnReportCsv = nullptr;
    QPushButton* btnReportCancel = nullptr;
};

}  // namespace quillane
