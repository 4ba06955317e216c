#include "ui/window/PortComboBox.h"

#include <QAbstractItemView>
#include <QSignalBlocker>
#include <QStringList>
#include <QStyle>
#include <QTextDocument>
#include <algorithm>

namespace quillane {

namespace {

// The adapter as its maker names it, then the device and the name that
// outlives replugging: one line each, the empty ones left out.
QString PortToolTip(const PortEntry& e) {
    QStringList lines;
    for (const std::string* part : {&e.adapter, &e.device, &e.stableName}) {
        if (!part->empty()) lines << QString::fromStdString(*part);
    }
    const QString text = lines.join(QLatin1Char('\n'));
    // An adapter may call itself anything, "<b>" too: a tooltip that looks
    // like markup is shown as the text it is.
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap) : text;
}

}  // namespace

PortComboBox::PortComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    // 65 pixels must hold "COM255" next to the arrow, as the narrow native
    // combo of the original layout did; the default padding would cut it.
    setStyleSheet(
        QStringLiteral("QComboBox { padding-left: 3px; padding-right: 0px; }"
                       "QComboBox::drop-down { width: 13px; }"));
    // Another choice makes the last failure's reason stale.
    connect(this, &QComboBox::currentIndexChanged, this, [this] { ShowOpenProblem(QString()); });
}

void PortComboBox::SetDropDownHandler(std::function<void()> handler) {
    dropDown_ = std::move(handler);
}

void PortComboBox::SetCloseUpHandler(std::function<void()> handler) {
    closeUp_ = std::move(handler);
}

void PortComboBox::SetPorts(const std::vector<PortEntry>& entries, int selected) {
    {
        const QSignalBlocker quiet(this);
        clear();
        problem_.clear();
        for (const PortEntry& e : entries) {
            addItem(QStringLiteral("COM%1").arg(e.number));
            setItemData(count() - 1, PortToolTip(e), Qt::ToolTipRole);
        }
        setCurrentIndex(findText(QStringLiteral("COM%1").arg(selected)));
    }
    WidenListToItems();
    ShowSelectedDevice();
}

void PortComboBox::ShowPortInUse(const PortEntry& entry) {
    const int item = findText(QStringLiteral("COM%1").arg(entry.number));
    if (item < 0) return;
    setItemData(item, PortToolTip(entry), Qt::ToolTipRole);
    ShowSelectedDevice();
}

// The open list may be wider than the 65-pixel box: "COM255" must read in
// full there, whatever the font and the style's margins; and no wider than
// that. The items are measured as the list lays them out: an option spanning
// the whole view would have some styles lay the text out across all of it.
void PortComboBox::WidenListToItems() {
    QAbstractItemView* list = view();
    int needed = list->sizeHintForColumn(modelColumn()) + 2 * list->frameWidth();
    if (count() > maxVisibleItems())
        needed += list->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    list->setMinimumWidth(std::max(width(), needed));
}

void PortComboBox::showPopup() {
    if (dropDown_) dropDown_();
    QComboBox::showPopup();
}

void PortComboBox::hidePopup() {
    QComboBox::hidePopup();
    if (closeUp_) closeUp_();
}

void PortComboBox::ShowOpenProblem(const QString& problem) {
    problem_ = problem;
    ShowSelectedDevice();
}

void PortComboBox::ShowSelectedDevice() {
    if (!problem_.isEmpty()) {
        setToolTip(problem_);
    } else {
        setToolTip(currentIndex() < 0 ? QString()
                                      : itemData(currentIndex(), Qt::ToolTipRole).toString());
    }
}

}  // namespace quillane
