#include "ui/widgets/StringGridView.h"

#include <QEvent>
#include <QHeaderView>

#include "ui/widgets/FixedColumnHeader.h"
#include "ui/widgets/GridCellDelegate.h"
#include "ui/widgets/StringGridModel.h"

namespace quillane {
namespace {

void SetFixedSections(QHeaderView* header, int size) {
    header->setMinimumSectionSize(1);
    header->setDefaultSectionSize(size);
    header->setSectionResizeMode(QHeaderView::Fixed);
}

}  // namespace

StringGridView::StringGridView(const char* name, StringGridModel* model, char decimalSeparator,
                               QWidget* parent)
    : QTableView(parent), decimalSeparator_(decimalSeparator) {
    setObjectName(QString::fromLatin1(name));
    auto* titles = new FixedColumnHeader(this);
    setVerticalHeader(titles);
    setModel(model);
    setItemDelegate(new GridCellDelegate(this));
    titles->setFixedWidth(kColumnWidth + kGridLine);
    SetFixedSections(titles, kRowHeight + kGridLine);
    SetFixedSections(horizontalHeader(), kColumnWidth + kGridLine);
    horizontalHeader()->hide();
    setShowGrid(true);
    setCornerButtonEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    // Tab leaves the grid for the next control, as on the rest of the page.
    setTabKeyNavigation(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWordWrap(false);
    FitFont();
}

void StringGridView::FinishEditing() {
    if (state() != QAbstractItemView::EditingState) return;
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void StringGridView::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) FitFont();
}

// A threshold such as 55.5 must show whole in a 26-pixel column. The window's
// font fits on most machines; where only a wider face is installed the grid
// takes a smaller size of it instead of cutting digits off.
void StringGridView::FitFont() {
    if (fitting_) return;  // our own setFont below comes back here
    fitting_ = true;
    setFont(QFont());  // the page's font again, which may have grown since
    const QString widest =
        QStringLiteral("00") + QChar::fromLatin1(decimalSeparator_) + QStringLiteral("0");
    const QFont fitted =
        GridCellDelegate::FittedFont(font(), widest, kColumnWidth - GridCellDelegate::kTextIndent);
    if (fitted != font()) {
        QFont smaller;  // only the size set: the face still follows the page
        smaller.setPixelSize(QFontInfo(fitted).pixelSize());
        setFont(smaller);
    }
    fitting_ = false;
}

}  // namespace quillane
