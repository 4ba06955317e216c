#include "ui/window/TfrmReport.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "console/record/LocalDateTime.h"
#include "console/record/SiteMemory.h"
#include "ui/window/DialogFont.h"

namespace quillane {
namespace {

QLineEdit* Field(QWidget* parent, const char* name, std::size_t most) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(static_cast<int>(most));
    edit->setMinimumWidth(320);
    return edit;
}

std::string Text(const QLineEdit* edit, std::size_t most = kFieldLength) {
    return CleanField(edit->text().toStdString(), most);
}

}  // namespace

TfrmReport::TfrmReport(SiteMemory& memory, double visitStartDays, QWidget* parent)
    : QDialog(parent), memory_(memory) {
    setObjectName(QStringLiteral("frmReport"));
    setWindowTitle(QStringLiteral("Commissioning report"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(DialogFont());
    setModal(true);
    BuildControls(visitStartDays);
    memory_.Read();
    if (const std::optional<ReportForm> last = memory_.Last()) Fill(*last);
}

void TfrmReport::BuildControls(double visitStartDays) {
    edSite = Field(this, "edSite", kFieldLength);
    edZone = Field(this, "edZone", kFieldLength);
    edCustomer = Field(this, "edCustomer", kFieldLength);
    edInstaller = Field(this, "edInstaller", kFieldLength);
    edNotes = Field(this, "edNotes", kNotesLength);
    cbVerdict = new QComboBox(this);
    cbVerdict->setObjectName(QStringLiteral("cbVerdict"));
    for (const auto verdict :
         {ReportForm::Verdict::NotGiven, ReportForm::Verdict::Passed, ReportForm::Verdict::Failed})
        cbVerdict->addItem(QString::fromLatin1(VerdictText(verdict)));
    cbSpan = new QComboBox(this);
    cbSpan->setObjectName(QStringLiteral("cbSpan"));
    cbSpan->addItem(QStringLiteral("This visit, since %1")
                        .arg(QString::fromStdString(TimeOfDayText(visitStartDays))));
    cbSpan->addItem(QStringLiteral("This detector, today"));
    cbSpan->addItem(QStringLiteral("This detector, the whole site record"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Site:"), edSite);
    form->addRow(QStringLiteral("Zone or detector:"), edZone);
    form->addRow(QStringLiteral("Customer:"), edCustomer);
    form->addRow(QStringLiteral("Installer:"), edInstaller);
    form->addRow(QStringLiteral("Notes:"), edNotes);
    form->addRow(QStringLiteral("Walk test:"), cbVerdict);
    form->addRow(QStringLiteral("Covers:"), cbSpan);

    btnReportWrite = new QPushButton(QStringLiteral("Write report <Enter>"), this);
    btnReportWrite->setObjectName(QStringLiteral("btnReportWrite"));
    btnReportWrite->setDefault(true);
    btnReportCsv = new QPushButton(QStringLiteral("Save as CSV <Ctrl+S>"), this);
    btnReportCsv->setObjectName(QStringLiteral("btnReportCsv"));
    btnReportCsv->setAutoDefault(false);
    btnReportCancel = new QPushButton(QStringLiteral("Cancel <Esc>"), this);
    btnReportCancel->setObjectName(QStringLiteral("btnReportCancel"));
    btnReportCancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {btnReportWrite, btnReportCsv, btnReportCancel}) buttons->addWidget(b);

    auto* whole = new QVBoxLayout(this);
    whole->addLayout(form);
    whole->addLayout(buttons);
    whole->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnReportWrite, &QPushButton::clicked, this, [this] { Choose(kReport); });
    connect(btnReportCsv, &QPushButton::clicked, this, [this] { Choose(kCsv); });
    connect(btnReportCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* csv = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    connect(csv, &QShortcut::activated, this, [this] { Choose(kCsv); });
    connect(edSite, &QLineEdit::editingFinished, this, &TfrmReport::edSiteEditingFinished);
    edSite->setFocus();
}

void TfrmReport::Fill(const ReportForm& form) {
    edSite->setText(QString::fromStdString(form.site));
    edZone->setText(QString::fromStdString(form.zone));
    edCustomer->setText(QString::fromStdString(form.customer));
    edInstaller->setText(QString::fromStdString(form.installer));
    edNotes->setText(QString::fromStdString(form.notes));
    filledFor_ = edSite->text();
}

void TfrmReport::edSiteEditingFinished() {
    if (edSite->text() == filledFor_) return;
    const QString typed = edSite->text();
    if (const std::optional<ReportForm> remembered = memory_.Recall(Text(edSite))) {
        Fill(*remembered);
        edSite->setText(typed);
    }
    filledFor_ = typed;
}

ReportForm TfrmReport::Form() const {
    ReportForm f;
    f.site = Text(edSite);
    f.zone = Text(edZone);
    f.customer = Text(edCustomer);
    f.installer = Text(edInstaller);
    f.notes = Text(edNotes, kNotesLength);
    f.verdict = static_cast<ReportForm::Verdict>(cbVerdict->currentIndex());
    return f;
}

ReportSpan TfrmReport::Span() const { return static_cast<ReportSpan>(cbSpan->currentIndex()); }

void TfrmReport::Choose(Choice choice) { done(choice); }

}  // namespace quillane
