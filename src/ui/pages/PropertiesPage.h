#pragma once

#include "ui/pages/ConsolePage.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace quillane {

class StringGridModel;
class StringGridView;

// The Properties page (tsParams), the developer's page: the console's own
// factors of the power conversion, its two signal filters and the two
// correspondence tables, edited in place and made permanent by Apply. It sends
// nothing to the detector.
class PropertiesPage : public ConsolePage {
    Q_OBJECT

public:
    explicit PropertiesPage(PageContext& context, QWidget* parent = nullptr);

    void PageShow() override;  // tsParamsShow
    void ApplayParamsKey() override;
    void TablesChanged() override;

    void tsParamsShow();
    void btnParamsSetClick();

private:
    void BuildTables();
    void BuildFactors();
    void BuildFilters();
    void ShowExistingFactors();

    QGroupBox* gbParamsSense = nullptr;
    QGroupBox* gbParamsDist = nullptr;
    QGroupBox* gbParamsKoef = nullptr;
    QGroupBox* gbParamsDop = nullptr;
    StringGridModel* senseCells_ = nullptr;
    StringGridModel* distCells_ = nullptr;
    StringGridView* sgSense = nullptr;
    StringGridView* sgDist = nullptr;
    QLineEdit* cbNewKdc = nullptr;
    QLineEdit* cbNewUrd = nullptr;
    QLineEdit* cbKdc = nullptr;
    QLineEdit* cbUrd = nullptr;
    QComboBox* cbTenPercentFilter = nullptr;
    QComboBox* cbSelectFilter = nullptr;
    QPushButton* btnParamsSet = nullptr;
};

}  // namespace quillane
