#include "ui/widgets/GridCellDelegate.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

namespace quillane {
namespace {

constexpr int kSmallestFontPixels = 8;
// The editor's property holding the cell's text from before the edit.
constexpr char kTextBefore[] = "textBeforeEdit";

bool IsEscape(const QEvent* event) {
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
    return key && static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape &&
           static_cast<const QKeyEvent*>(event)->modifiers() == Qt::NoModifier;
}

// The grid's font fits the usual values; a longer text (a title, a value typed
// with more decimals) is drawn smaller so that it still shows whole, and only
// beyond the smallest size clipped at the grid line, never shortened to "1...".
void PaintText(QPainter& painter, const QRect& rect, const QString& text, const QFont& font,
               const QColor& colour) {
    const int room = rect.width() - GridCellDelegate::kTextIndent;
    painter.setFont(GridCellDelegate::FittedFont(font, text, room));
    painter.setPen(colour);
    painter.drawText(rect.adjusted(GridCellDelegate::kTextIndent, 0, 0, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

// A value longer than its cell (12.34) widens the editor over whole cells to
// its right, instead of scrolling its first digits out of sight; a cell
// half covered would show a stray stroke of its digits beside the editor.
void WidenToText(QLineEdit& editor) {
    const int cell = editor.minimumWidth();
    const int step = cell + 1;  // the next cell and its grid line
    const int needed =
        editor.fontMetrics().horizontalAdvance(editor.text()) + 3 * GridCellDelegate::kTextIndent;
    const int extraCells = needed > cell ? (needed - cell + step - 1) / step : 0;
    editor.resize(cell + extraCells * step, editor.height());
}

}  // namespace

GridCellDelegate::GridCellDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QFont GridCellDelegate::FittedFont(const QFont& font, const QString& text, int room) {
    QFont fitted = font;
    int pixels = QFontInfo(fitted).pixelSize();
    while (QFontMetrics(fitted).horizontalAdvance(text) > room && pixels > kSmallestFontPixels)
        fitted.setPixelSize(--pixels);
    return fitted;
}

void GridCellDelegate::PaintFixedCell(QPainter& painter, const QRect& rect, const QString& text,
                                      const QFont& font, const QPalette& palette) {
    painter.save();
    painter.setClipRect(rect);
    painter.fillRect(rect, palette.button());
    PaintText(painter, rect, text, font, palette.color(QPalette::ButtonText));
    painter.restore();
}

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const QString text = index.data(Qt::DisplayRole).toString();
    if (!(index.flags() & Qt::ItemIsEditable)) {
        PaintFixedCell(*painter, option.rect, text, option.font, option.palette);
        return;
    }
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group =
        option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    painter->save();
    painter->setClipRect(option.rect);
    painter->fillRect(option.rect,
                      option.palette.brush(group, selected ? QPalette::Highlight : QPalette::Base));
    PaintText(*painter, option.rect, text, option.font,
              option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->restore();
}

QWidget* GridCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const {
    static_cast<void>(option);
    auto* editor = new QLineEdit(parent);
    editor->setProperty(kTextBefore, index.data(Qt::EditRole));
    editor->setFrame(false);
    editor->setAutoFillBackground(true);  // it covers the cells it grows over
    // Signals cannot be emitted through a const this; the editor itself is ours.
    auto* self = const_cast<GridCellDelegate*>(this);
    connect(editor, &QLineEdit::textEdited, self,
            [self, editor] { emit self->commitData(editor); });
    connect(editor, &QLineEdit::textChanged, editor, [editor] { WidenToText(*editor); });
    return editor;
}

// The view hands every change of the cell back to the open editor, also the
// change the editor just made; setting the same text again would move the
// cursor to the end under the user's fingers.
void GridCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* edit = qobject_cast<QLineEdit*>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    if (edit && edit->text() != text) edit->setText(text);
}

void GridCellDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                            const QModelIndex& index) const {
    static_cast<void>(index);
    editor->setMinimumWidth(option.rect.width());
    editor->setGeometry(option.rect);
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) WidenToText(*edit);
}

bool GridCellDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* editor = qobject_cast<QLineEdit*>(object);
    if (editor && IsEscape(event)) {
        // Claimed before the window's shortcuts see it.
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        // Every keystroke is in the cell already: the text from before the
        // edit goes back there, then the editor closes as Esc closes it.
        editor->setText(editor->property(kTextBefore).toString());
        emit commitData(editor);
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

}  // namespace quillane
