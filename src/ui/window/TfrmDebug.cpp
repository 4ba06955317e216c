#include "ui/window/TfrmDebug.h"

#include <QGroupBox>
#include <QListWidget>
#include <QResizeEvent>

#include "ui/window/DialogFont.h"

namespace quillane {
namespace {

constexpr int kClientWidth = 580;
constexpr int kClientHeight = 374;
// The group keeps its left edge and its distances to the right and bottom
// edges of the window; the list fills the group with fixed margins.
constexpr QRect kGroup{8, 160, 561, 132};
constexpr QRect kList{8, 16, 545, 108};
constexpr int kGroupRightGap = kClientWidth - (8 + 561);
constexpr int kGroupBottomGap = kClientHeight - (160 + 132);
constexpr int kListRightGap = 561 - (8 + 545);
constexpr int kListBottomGap = 132 - (16 + 108);

}  // namespace

TfrmDebug::TfrmDebug(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Отладка"));
    setFont(DialogFont());

    GroupBox3 = new QGroupBox(QStringLiteral("Протокол обмена"), this);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    GroupBox3->setGeometry(kGroup);

    lbProtocol = new QListWidget(GroupBox3);
    lbProtocol->setObjectName(QStringLiteral("lbProtocol"));
    lbProtocol->setGeometry(kList);
    lbProtocol->setFocusPolicy(Qt::NoFocus);
    lbProtocol->setSelectionMode(QAbstractItemView::SingleSelection);

    resize(kClientWidth, kClientHeight);
}

void TfrmDebug::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int groupWidth = width() - kGroup.left() - kGroupRightGap;
    const int groupHeight = kGroup.height();
    const int groupTop = height() - kGroupBottomGap - groupHeight;
    GroupBox3->setGeometry(kGroup.left(), groupTop, groupWidth, groupHeight);
    lbProtocol->setGeometry(kList.left(), kList.top(), groupWidth - kList.left() - kListRightGap,
                            groupHeight - kList.top() - kListBottomGap);
}

}  // namespace quillane
