#include "ui/pages/PropertiesPage.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "model/CorrespondenceTables.h"
#include "model/NumberFormat.h"
#include "model/Settings.h"
#include "ui/pages/PageContext.h"
#include "ui/widgets/ColourKit.h"
#include "ui/widgets/PageWidgets.h"
#include "ui/widgets/StringGridModel.h"
#include "ui/widgets/StringGridView.h"

namespace quillane {
namespace {

QGroupBox* AddGroup(QWidget* parent, const char* name, const QString& caption, int left, int top,
                    int width, int height) {
    auto* group = new QGroupBox(caption, parent);
    group->setObjectName(QString::fromLatin1(name));
    group->setGeometry(left, top, width, height);
    return group;
}

// The factor fields: plain edit fields of 42 x 21 without a list. The
// existing factors are display only; their text stays dark enough to read.
QLineEdit* AddFactor(QWidget* parent, const char* name, int left, int top, bool editable) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setGeometry(left, top, 42, 21);
    field->setEnabled(editable);
    QPalette p = field->palette();
    p.setColor(QPalette::Disabled, QPalette::Text, ToQColor(colour::kDisabledText));
    field->setPalette(p);
    return field;
}

// The lists end where they were laid out (at 265) but are 4 pixels wider to
// the left than the 41 they were drawn with: this style's arrow is wider, and
// "200" would lose its last digit.
QComboBox* AddFilterList(QWidget* parent, const char* name, int top, int rows,
                         const std::vector<std::string>& items) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setGeometry(220, top, 45, 21);
    for (const std::string& item : items) list->addItem(QString::fromStdString(item));
    list->setMaxVisibleItems(rows);
    return list;
}

}  // namespace

PropertiesPage::PropertiesPage(PageContext& context, QWidget* parent)
    : ConsolePage("tsParams", Page::Properties, context, parent) {
    BuildTables();
    BuildFactors();
    BuildFilters();
    btnParamsSet = AddButton(this, "btnParamsSet", QStringLiteral("Applay <F5>"), 464, 240, 97, 25);
    btnParamsSet->setToolTip(QStringLiteral("Apply device settings"));
    connect(btnParamsSet, &QPushButton::clicked, this, &PropertiesPage::btnParamsSetClick);
    setTabOrder(sgSense, sgDist);
    setTabOrder(sgDist, cbNewKdc);
    setTabOrder(cbNewKdc, cbNewUrd);
    setTabOrder(cbNewUrd, cbTenPercentFilter);
    setTabOrder(cbTenPercentFilter, cbSelectFilter);
    setTabOrder(cbSelectFilter, btnParamsSet);
}

void PropertiesPage::BuildTables() {
    const char sep = context_.format.DecimalSeparator();
    gbParamsSense = AddGroup(this, "gbParamsSense",
                             QStringLiteral("Threshold (%) - sensivity (%)  correspondence table"),
                             8, 0, 561, 113);
    senseCells_ = new StringGridModel(context_.tables.sgSense, this);
    sgSense = new StringGridView("sgSense", senseCells_, sep, gbParamsSense);
    sgSense->setGeometry(8, 16, 537, 89);

    gbParamsDist =
        AddGroup(this, "gbParamsDist",
                 QStringLiteral("Threshold (counts)- zone length (m) correspondence table"), 8, 120,
                 561, 81);
    distCells_ = new StringGridModel(context_.tables.sgDist, this);
    sgDist = new StringGridView("sgDist", distCells_, sep, gbParamsDist);
    sgDist->setGeometry(8, 16, 537, 57);
}

void PropertiesPage::BuildFactors() {
    gbParamsKoef = AddGroup(this, "gbParamsKoef", QStringLiteral("Factors"), 8, 208, 161, 89);
    // Just under the frame line, which this style draws below the caption.
    AddLabel(gbParamsKoef, QStringLiteral("New"), 40, 19, 42, Qt::AlignHCenter);
    AddLabel(gbParamsKoef, QStringLiteral("Existing"), 88, 19, 58, Qt::AlignHCenter);
    AddLabel(gbParamsKoef, QStringLiteral("Kdc:"), 16, 35);
    AddLabel(gbParamsKoef, QStringLiteral("Urd:"), 16, 59);
    cbNewKdc = AddFactor(gbParamsKoef, "cbNewKdc", 40, 32, true);
    cbNewUrd = AddFactor(gbParamsKoef, "cbNewUrd", 40, 56, true);
    cbKdc = AddFactor(gbParamsKoef, "cbKdc", 96, 32, false);
    cbUrd = AddFactor(gbParamsKoef, "cbUrd", 96, 56, false);
}

void PropertiesPage::BuildFilters() {
    gbParamsDop = AddGroup(this, "gbParamsDop", QStringLiteral("Additional"), 176, 208, 273, 89);
    AddLabel(gbParamsDop, QStringLiteral("Signal fluctuations >10% to be filtered:"), 8, 28, 208,
             Qt::AlignRight);
    cbTenPercentFilter =
        AddFilterList(gbParamsDop, "cbTenPercentFilter", 24, 12, TenPercentItems());
    AddLabel(gbParamsDop, QStringLiteral("Signal scaling to counts/sec:"), 8, 60, 208,
             Qt::AlignRight);
    cbSelectFilter = AddFilterList(gbParamsDop, "cbSelectFilter", 56, 11, SelectFilterItems());
}

// ---- page hooks ----

void PropertiesPage::PageShow() { tsParamsShow(); }

void PropertiesPage::ApplayParamsKey() { btnParamsSetClick(); }

// The file was read, or an apply stored what it could: the grids show the
// cells the core rewrote, the existing factors and the filters in use.
void PropertiesPage::TablesChanged() {
    senseCells_->CellsChanged();
    distCells_->CellsChanged();
    ShowExistingFactors();
    cbSelectFilter->setCurrentIndex(context_.settings.selectFilterIndex);
    cbTenPercentFilter->setCurrentIndex(context_.settings.tenPercentIndex);
}

void PropertiesPage::ShowExistingFactors() {
    cbKdc->setText(QString::fromStdString(context_.format.General(context_.settings.dblKdc)));
    cbUrd->setText(QString::fromStdString(context_.format.General(context_.settings.dblUrd)));
}

// ---- handlers ----

// A factor typed and not applied is dropped whenever the page comes back.
void PropertiesPage::tsParamsShow() {
    ShowExistingFactors();
    cbNewKdc->setText(cbKdc->text());
    cbNewUrd->setText(cbUrd->text());
}

void PropertiesPage::btnParamsSetClick() {
    sgSense->FinishEditing();
    sgDist->FinishEditing();
    ConsoleSettings& settings = context_.settings;
    settings.selectFilterIndex = cbSelectFilter->currentIndex();
    settings.tenPercentIndex = cbTenPercentFilter->currentIndex();
    std::string error;
    const bool stored =
        ApplyProperties(context_.IniFile, context_.format, cbNewKdc->text().toStdString(),
                        cbNewUrd->text().toStdString(), settings, context_.tables, error);
    // Even a failed apply has changed the factors and filters in use (and
    // perhaps some cells): every page and the core follow them before the
    // message, so none keeps working with the values from before.
    context_.tablesChanged();
    if (!stored)
        QMessageBox::critical(this, QCoreApplication::applicationName(),
                              QString::fromStdString(error));
}

}  // namespace quillane
