#include "typing/widgets/RichTextBox.h"

#include "core/TextEditing.h"
#include "core/TextModel.h"

#include "typing/widgets/TextLines.h"
#include "typing/widgets/VirtualKeys.h"

#include <QApplication>
#include <QBasicTimer>
#include <QFocusEvent>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
constexpr int kMargin = 4;
// How much text around the caret the input method gets to see.
constexpr int kSurroundingWindow = 256;

enum class Scroll { None, Caret, SelStart };
} // namespace

struct RichTextBox::Private
{
    RichTextBox *q;
    QPointer<TextModel> m; // never null while the box lives: the box owns one when given none
    // A caret at a wrapped line's end shows there, not at the start of the next line.
    bool caretAtLineEnd = false;
    bool dragging = false;
    bool mouseSelects = true;
    qreal goalX = -1; // kept across Up/Down presses

    // The input method's composition, drawn at preeditPos; `display` is the text with it.
    QString preedit;
    int preeditPos = 0;
    int preeditCursor = 0;
    QString display;
    TextLines lines;
    int lineHeight = 1;

    QBasicTimer blink;
    bool caretOn = true;
    Scroll pendingScroll = Scroll::None;

    explicit Private(RichTextBox *box)
        : q(box)
    {}

    int length() const { return int(m->text().size()); }
    int selStart() const { return std::min(m->anchor(), m->caret()); }
    int selEnd() const { return std::max(m->anchor(), m->caret()); }
    int scrollY() const { return q->verticalScrollBar()->value(); }
    int lineTop(int line) const { return kMargin + line * lineHeight - scrollY(); }

    // Caret position (between characters) in the display text.
    int toDisplay(int position) const
    {
        return preedit.isEmpty() || position <= preeditPos ? position
                                                           : position + int(preedit.size());
    }
    int fromDisplay(int position) const
    {
        if (preedit.isEmpty() || position <= preeditPos)
            return position;
        return std::max(preeditPos, position - int(preedit.size()));
    }
    int displayCaret() const { return preedit.isEmpty() ? m->caret() : preeditPos + preeditCursor; }
    int displayLineOf(int displayPosition, bool atLineEnd) const
    {
        const int line = lines.lineAt(displayPosition);
        if (atLineEnd && line > 0 && displayPosition == lines.lineStart(line) &&
            !TextLines::isLineBreak(display.at(displayPosition - 1)))
            return line - 1;
        return line;
    }
    int caretLine() const { return displayLineOf(displayCaret(), caretAtLineEnd); }

    QRectF caretRect() const
    {
        const int line = caretLine();
        const qreal x = kMargin + lines.xOf(display, line, displayCaret());
        return QRectF(x, lineTop(line), 2, lineHeight);
    }

    void fontChanged()
    {
        lines.setFont(q->font());
        lineHeight = std::max(1, int(std::ceil(lines.metrics().lineSpacing())));
        relayoutAll();
    }
    void relayoutAll()
    {
        lines.setWidth(q->viewport()->width() - 2 * kMargin);
        lines.layoutAll(display);
        updateScrollBar();
        q->viewport()->update();
    }
    void updateScrollBar()
    {
        QScrollBar *bar = q->verticalScrollBar();
        const int height = q->viewport()->height();
        bar->setRange(0, std::max(0, lines.lineCount() * lineHeight + 2 * kMargin - height));
        bar->setPageStep(height);
        bar->setSingleStep(lineHeight);
    }

    // Repaints the display lines from `firstLine` to `lastLine`, or to the bottom of the box.
    void updateLines(int firstLine, int lastLine = -1)
    {
        const int top = std::max(0, lineTop(firstLine));
        const int bottom = lastLine < 0 ? q->viewport()->height() : lineTop(lastLine + 1);
        if (bottom > top)
            q->viewport()->update(0, top, q->viewport()->width(), bottom - top);
    }
    // Repaints just the characters [from, to) of the text after a change of their format.
    void updateRange(int from, int to)
    {
        if (from >= to)
            return;
        const int first = lines.lineAt(toDisplay(from));
        const int last = lines.lineAt(toDisplay(to - 1));
        if (last - first > 2) {
            updateLines(first, last);
            return;
        }
        for (int line = first; line <= last; ++line) {
            const int start = std::max(toDisplay(from), lines.lineStart(line));
            const int end = std::min(toDisplay(to - 1) + 1, lines.lineEnd(line));
            const qreal left = kMargin + lines.xOf(display, line, start);
            const qreal right =
                left + lines.xOf(display, line, end) - lines.xOf(display, line, start);
            q->viewport()->update(
                QRectF(left - 1, lineTop(line), right - left + 3, lineHeight).toAlignedRect());
        }
    }
    void updateCaret()
    {
        if (q->hasFocus())
            q->viewport()->update(caretRect().adjusted(-1, 0, 1, 0).toAlignedRect());
    }
    void restartBlink()
    {
        caretOn = true;
        const int flash = QApplication::cursorFlashTime();
        if (q->hasFocus() && flash > 0)
            blink.start(flash / 2, q);
        else
            blink.stop();
    }

    // Scrolls once the current event has been handled, whatever number of selection changes
    // it made.
    void scheduleScroll(Scroll target)
    {
        const bool queued = pendingScroll != Scroll::None;
        pendingScroll = target;
        if (!queued)
            QMetaObject::invokeMethod(
                q, [this] { applyPendingScroll(); }, Qt::QueuedConnection);
    }
    void applyPendingScroll()
    {
        const Scroll target = pendingScroll;
        pendingScroll = Scroll::None;
        if (target == Scroll::Caret)
            scrollToDisplayLine(caretLine());
        else if (target == Scroll::SelStart)
            scrollToDisplayLine(lines.lineAt(toDisplay(selStart())));
    }
    void scrollToDisplayLine(int line)
    {
        const int height = q->viewport()->height();
        const int top = kMargin + line * lineHeight;
        // The line after it stays in view too where the box has room for both, so the text
        // ahead is always readable: a line that has just become the last one in view scrolls
        // up by one.
        const int ahead = height >= 2 * lineHeight && line + 1 < lines.lineCount() ? 1 : 0;
        const int bottom = top + (1 + ahead) * lineHeight;
        QScrollBar *bar = q->verticalScrollBar();
        if (top < bar->value() + kMargin)
            bar->setValue(top - kMargin);
        else if (bottom > bar->value() + height)
            bar->setValue(bottom - height + kMargin);
    }

    void updateMicroFocus()
    {
        if (q->hasFocus())
            QGuiApplication::inputMethod()->update(Qt::ImQueryInput);
    }

    // Moves the selection through the model, which calls back selectionAboutToChange and
    // selectionChanged.
    void setSelection(int newAnchor, int newCaret, Scroll scroll)
    {
        m->setSelection(newAnchor, newCaret,
                        scroll == Scroll::SelStart ? TextModel::Follow::SelStart
                                                   : TextModel::Follow::Caret);
    }
    // The display changes only where the focus shows a selection. The model raises these
    // only when the selection moves.
    void selectionAboutToChange(int newAnchor, int newCaret)
    {
        if (q->hasFocus())
            updateSelectionLines(newAnchor, newCaret);
    }
    void selectionChanged(TextModel::Follow follow)
    {
        caretAtLineEnd = false;
        if (!preedit.isEmpty() && m->caret() != preeditPos)
            setPreedit(preedit, preeditCursor);
        if (q->hasFocus()) {
            restartBlink();
            updateCaret();
            updateMicroFocus();
        }
        scheduleScroll(follow == TextModel::Follow::SelStart ? Scroll::SelStart : Scroll::Caret);
    }
    void updateSelectionLines(int newAnchor, int newCaret)
    {
        updateCaret();
        const int low = std::min({m->anchor(), m->caret(), newAnchor, newCaret});
        const int high = std::max({m->anchor(), m->caret(), newAnchor, newCaret});
        if (m->anchor() != m->caret() || newAnchor != newCaret)
            updateLines(lines.lineAt(toDisplay(low)), lines.lineAt(toDisplay(high)));
    }

    // Shows `newPreedit` at the caret; the text itself does not change.
    void setPreedit(const QString &newPreedit, int cursor)
    {
        if (preedit.isEmpty() && newPreedit.isEmpty())
            return;
        const int oldPos = preeditPos;
        const int oldLength = int(preedit.size());
        if (oldLength > 0) {
            display = m->text();
            lines.relayout(display, oldPos, oldLength, 0);
        }
        preedit = newPreedit;
        preeditPos = m->caret();
        preeditCursor = std::clamp(cursor, 0, int(preedit.size()));
        if (!preedit.isEmpty()) {
            display = m->text().left(preeditPos) + preedit + m->text().mid(preeditPos);
            lines.relayout(display, preeditPos, 0, int(preedit.size()));
        }
        updateScrollBar();
        updateLines(std::max(0, lines.lineAt(std::min(oldPos, preeditPos)) - 1));
    }

    // A new text in the model: nothing of the old layout or composition is kept.
    void modelReset()
    {
        preedit.clear();
        display = m->text();
        caretAtLineEnd = false;
        relayoutAll();
        restartBlink();
        updateMicroFocus();
        scheduleScroll(Scroll::Caret);
    }
    // text[from, from + removed) became `inserted` characters; the caret is after them.
    void modelEdited(int from, int removed, int inserted)
    {
        display = m->text();
        const int oldLineCount = lines.lineCount();
        lines.relayout(display, from, removed, inserted);
        updateScrollBar();
        const int line = std::max(0, lines.lineAt(from) - 1);
        updateLines(line, oldLineCount == lines.lineCount() && removed == 0
                              ? lines.lineAt(from + inserted)
                              : -1);
        caretAtLineEnd = false;
        restartBlink();
        updateMicroFocus();
        scheduleScroll(Scroll::Caret);
    }
    int positionAtPoint(QPointF point) const
    {
        const int line = std::clamp(int(std::floor((point.y() + scrollY() - kMargin) / lineHeight)),
                                    0, lines.lineCount() - 1);
        const int position = lines.positionAt(display, line, point.x() - kMargin);
        if (!preedit.isEmpty() && position > preeditPos &&
            position < preeditPos + int(preedit.size()))
            return preeditPos;
        return fromDisplay(position);
    }
    void moveCaret(int position, bool extend, bool atLineEnd = false)
    {
        setSelection(extend ? m->anchor() : position, position, Scroll::Caret);
        // End on a wrapped line shows the caret at that line's end, a click at the start of
        // the next line at the same position: the model sees no move and raises nothing.
        if (caretAtLineEnd != atLineEnd) {
            updateCaret();
            caretAtLineEnd = atLineEnd;
            restartBlink();
            updateCaret();
            scheduleScroll(Scroll::Caret);
        }
    }
    void moveVertically(int lineDelta, bool extend)
    {
        const int line = caretLine();
        if (goalX < 0)
            goalX = lines.xOf(display, line, displayCaret());
        const int target = std::clamp(line + lineDelta, 0, lines.lineCount() - 1);
        const int keepGoal = goalX;
        moveCaret(fromDisplay(lines.positionAt(display, target, goalX)), extend);
        goalX = keepGoal;
    }
    bool handleNavigation(QKeyEvent *event);
};

bool RichTextBox::Private::handleNavigation(QKeyEvent *event)
{
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    const int line = caretLine();
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const bool right = event->key() == Qt::Key_Right;
        if (m->anchor() != m->caret() && !extend)
            moveCaret(right ? selEnd() : selStart(), false);
        else
            moveCaret(right ? textediting::nextPosition(m->text(), m->caret())
                            : textediting::previousPosition(m->text(), m->caret()),
                      extend);
        return true;
    }
    case Qt::Key_Up:
    case Qt::Key_Down:
        moveVertically(event->key() == Qt::Key_Up ? -1 : 1, extend);
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        const int page = std::max(1, q->viewport()->height() / lineHeight - 1);
        moveVertically(event->key() == Qt::Key_PageUp ? -page : page, extend);
        return true;
    }
    case Qt::Key_Home:
        moveCaret(control ? 0 : fromDisplay(lines.lineStart(line)), extend);
        return true;
    case Qt::Key_End: {
        if (control) {
            moveCaret(length(), extend);
            return true;
        }
        const int end = lines.lineContentEnd(display, line);
        moveCaret(fromDisplay(end), extend, end == lines.lineEnd(line));
        return true;
    }
    default:
        return false;
    }
}

RichTextBox::RichTextBox(QWidget *parent)
    : RichTextBox(nullptr, parent)
{}

RichTextBox::RichTextBox(TextModel *model, QWidget *parent)
    : QAbstractScrollArea(parent)
    , d(std::make_unique<Private>(this))
{
    d->m = model ? model : new TextModel(this);
    d->display = d->m->text();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, !d->m->isReadOnly());
    setInputMethodHints(Qt::ImhMultiLine);
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
    setContextMenuPolicy(Qt::PreventContextMenu);
    viewport()->setContextMenuPolicy(Qt::PreventContextMenu);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEnabled(d->m->isEnabled());
    d->fontChanged();

    TextModel *m = d->m;
    connect(m, &TextModel::aboutToEdit, this, [this] { d->setPreedit(QString(), 0); });
    connect(m, &TextModel::edited, this, [this](int from, int removed, int inserted) {
        d->modelEdited(from, removed, inserted);
    });
    connect(m, &TextModel::reset, this, [this] { d->modelReset(); });
    connect(m, &TextModel::selectionAboutToChange, this,
            [this](int anchor, int caret) { d->selectionAboutToChange(anchor, caret); });
    connect(m, &TextModel::selectionChanged, this,
            [this](int, int, TextModel::Follow follow) { d->selectionChanged(follow); });
    connect(m, &TextModel::formatChanged, this,
            [this](int from, int to) { d->updateRange(from, to); });
    connect(m, &TextModel::readOnlyChanged, this, [this](bool readOnly) {
        if (readOnly)
            d->setPreedit(QString(), 0);
        setAttribute(Qt::WA_InputMethodEnabled, !readOnly);
        if (hasFocus())
            QGuiApplication::inputMethod()->update(Qt::ImEnabled | Qt::ImReadOnly);
        d->updateCaret();
    });
    connect(m, &TextModel::enabledChanged, this, [this](bool enabled) { setEnabled(enabled); });
    connect(m, &TextModel::focusRequested, this, [this] { setFocus(); });
}

RichTextBox::~RichTextBox() = default;

TextModel *RichTextBox::model() const
{
    return d->m;
}

void RichTextBox::setMouseSelects(bool on)
{
    d->mouseSelects = on;
    d->dragging = false;
}

QString RichTextBox::text() const
{
    return d->m->text();
}

void RichTextBox::setText(const QString &text)
{
    d->m->setText(text);
}

int RichTextBox::selStart() const
{
    return d->m->selStart();
}

void RichTextBox::setSelStart(int start)
{
    d->m->setSelStart(start);
}

int RichTextBox::selLength() const
{
    return d->m->selLength();
}

void RichTextBox::setSelLength(int length)
{
    d->m->setSelLength(length);
}

void RichTextBox::setSelColor(const QColor &color)
{
    d->m->setSelColor(color);
}

void RichTextBox::setSelEmphasis(bool on)
{
    d->m->setSelEmphasis(on);
}

void RichTextBox::setReadOnly(bool readOnly)
{
    d->m->setReadOnly(readOnly);
}

bool RichTextBox::isReadOnly() const
{
    return d->m->isReadOnly();
}

QColor RichTextBox::charColor(int position) const
{
    return d->m->charColor(position);
}

bool RichTextBox::charEmphasis(int position) const
{
    return d->m->charEmphasis(position);
}

void RichTextBox::ensureVisible(int position)
{
    d->scrollToDisplayLine(d->lines.lineAt(d->toDisplay(std::clamp(position, 0, d->length()))));
}

QRect RichTextBox::characterRect(int position) const
{
    position = std::clamp(position, 0, d->length());
    const int at = d->toDisplay(position);
    const int line = d->lines.lineAt(at);
    int unused = 0;
    const qreal width = position < d->length() ? d->lines.advanceAt(d->display, at, &unused) : 0;
    const qreal x = kMargin + d->lines.xOf(d->display, line, at);
    return QRectF(x, d->lineTop(line), width, d->lineHeight).toAlignedRect();
}

int RichTextBox::lineCount() const
{
    return d->lines.lineCount();
}

QString RichTextBox::preeditText() const
{
    return d->preedit;
}

void RichTextBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const QRect area = event->rect();
    painter.fillRect(area, palette().base());
    painter.setFont(d->lines.font());
    const QFontMetricsF &metrics = d->lines.metrics();
    const qreal ascent = metrics.ascent();
    const qreal underline = std::min(ascent + metrics.underlinePos() + 1, qreal(d->lineHeight - 2));
    const qreal thickness = std::max<qreal>(2, metrics.lineWidth() + 1);

    const int scroll = d->scrollY();
    const int first = std::max(0, (area.top() + scroll - kMargin) / d->lineHeight);
    const int last =
        std::min(d->lines.lineCount() - 1, (area.bottom() + scroll - kMargin) / d->lineHeight);
    // The selection shows only while the box has the focus, so the reference box's current
    // character stays just blue and underlined.
    const bool showSelection = hasFocus() && d->m->anchor() != d->m->caret();
    const int selFrom = d->toDisplay(d->selStart());
    const int selTo = d->toDisplay(d->selEnd());
    const int preFrom = d->preedit.isEmpty() ? -1 : d->preeditPos;
    const int preTo = preFrom + int(d->preedit.size());
    const QColor highlight = palette().color(QPalette::Highlight);
    const QColor highlightedText = palette().color(QPalette::HighlightedText);

    // A character's look: its colour, emphasis, and whether it is selected or composed.
    struct Look
    {
        QRgb color;
        quint8 emphasis;
        quint8 kind; // 0 plain, 1 selected, 2 preedit
        bool operator==(const Look &) const = default;
    };
    const auto lookAt = [&](int i) -> Look {
        if (i >= preFrom && i < preTo)
            return {palette().color(QPalette::Text).rgb(), 0, 2};
        const size_t model = size_t(i >= preTo && preFrom >= 0 ? i - (preTo - preFrom) : i);
        const quint8 kind = showSelection && i >= selFrom && i < selTo ? 1 : 0;
        return {d->m->colors()[model], d->m->emphasis()[model], kind};
    };

    for (int line = first; line <= last; ++line) {
        const qreal top = d->lineTop(line);
        const int end = d->lines.lineContentEnd(d->display, line);
        qreal x = kMargin;
        int length = 1;
        for (int i = d->lines.lineStart(line); i < end;) {
            const Look look = lookAt(i);
            int j = i;
            qreal width = 0;
            while (j < end && lookAt(j) == look) {
                width += d->lines.advanceAt(d->display, j, &length);
                j += length;
            }
            const QColor color = look.kind == 1 ? highlightedText : QColor(look.color);
            if (look.kind == 1)
                painter.fillRect(QRectF(x, top, width, d->lineHeight), highlight);
            painter.setPen(color);
            painter.drawText(QPointF(x, top + ascent),
                             QString::fromRawData(d->display.constData() + i, j - i));
            if (look.emphasis)
                painter.fillRect(QRectF(x, top + underline, width, thickness), color);
            if (look.kind == 2) {
                painter.setPen(QPen(color, 1, Qt::DashLine));
                painter.drawLine(QPointF(x, top + underline + 0.5),
                                 QPointF(x + width, top + underline + 0.5));
            }
            x += width;
            i = j;
        }
    }
    if (hasFocus() && d->caretOn && !d->m->isReadOnly() && isEnabled())
        painter.fillRect(d->caretRect(), palette().color(QPalette::Text));
}

void RichTextBox::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (viewport()->width() - 2 * kMargin != d->lines.width())
        d->relayoutAll();
    else
        d->updateScrollBar();
}

void RichTextBox::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        d->fontChanged();
    else if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange)
        viewport()->update();
}

void RichTextBox::scrollContentsBy(int, int)
{
    viewport()->update();
}

void RichTextBox::keyPressEvent(QKeyEvent *event)
{
    // The handlers see the key before the box does; they may disable the box meanwhile.
    d->m->notifyKeyDown(virtualkeys::keyCode(*event), virtualkeys::shiftState(event->modifiers()));
    event->accept();
    if (!isEnabled())
        return;
    // No paste by any key, and no cut or copy either: the box takes only typed text.
    if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut) ||
        event->matches(QKeySequence::Copy) || event->key() == Qt::Key_Paste)
        return;
    if (event->key() != Qt::Key_Up && event->key() != Qt::Key_Down &&
        event->key() != Qt::Key_PageUp && event->key() != Qt::Key_PageDown)
        d->goalX = -1;
    if (d->handleNavigation(event))
        return;
    if (event->matches(QKeySequence::SelectAll)) {
        d->setSelection(0, d->length(), Scroll::Caret);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Backspace:
        textediting::deleteBackward(*d->m);
        return;
    case Qt::Key_Delete:
        textediting::deleteForward(*d->m);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        textediting::insertTyped(*d->m, QStringLiteral("\r\n"));
        return;
    default:
        break;
    }
    const QString typed = event->text();
    const bool command =
        event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!typed.isEmpty() && !command &&
        std::all_of(typed.begin(), typed.end(), [](QChar c) { return c.isPrint(); })) {
        textediting::insertTyped(*d->m, typed);
        return;
    }
    event->ignore();
}

void RichTextBox::keyReleaseEvent(QKeyEvent *event)
{
    // A held key repeats its key-down only, as the handlers expect.
    if (!event->isAutoRepeat())
        d->m->notifyKeyUp(virtualkeys::keyCode(*event),
                          virtualkeys::shiftState(event->modifiers()));
    event->accept();
}

void RichTextBox::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return; // no paste on the middle button, no menu on the right one
    if (!d->mouseSelects)
        return; // the selection is the client's own (the reference box's current position)
    if (!d->preedit.isEmpty())
        QGuiApplication::inputMethod()->commit();
    d->goalX = -1;
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    d->moveCaret(d->positionAtPoint(event->position()), extend);
    d->dragging = true;
}

void RichTextBox::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    if (d->mouseSelects && d->dragging && (event->buttons() & Qt::LeftButton))
        d->moveCaret(d->positionAtPoint(event->position()), true);
}

void RichTextBox::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        d->dragging = false;
    int button = 0;
    if (event->button() == Qt::LeftButton)
        button = 1;
    else if (event->button() == Qt::RightButton)
        button = 2;
    else if (event->button() == Qt::MiddleButton)
        button = 4;
    const QPoint at = event->position().toPoint();
    d->m->notifyMouseUp(button, virtualkeys::shiftState(event->modifiers()), at.x(), at.y());
}

void RichTextBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    mousePressEvent(event);
}

void RichTextBox::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
}

void RichTextBox::dragEnterEvent(QDragEnterEvent *event)
{
    event->ignore();
}

void RichTextBox::dragMoveEvent(QDragMoveEvent *event)
{
    event->ignore();
}

void RichTextBox::dropEvent(QDropEvent *event)
{
    event->ignore();
}

void RichTextBox::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    d->restartBlink();
    viewport()->update();
    d->m->notifyFocusIn();
}

void RichTextBox::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    if (d->m)
        d->m->notifyFocusOut();
    d->blink.stop();
    d->dragging = false;
    viewport()->update();
}

void RichTextBox::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != d->blink.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    d->caretOn = !d->caretOn;
    d->updateCaret();
}

void RichTextBox::inputMethodEvent(QInputMethodEvent *event)
{
    event->accept();
    d->m->notifyInputMethod();
    if (d->m->isReadOnly()) {
        d->setPreedit(QString(), 0);
        return;
    }
    d->setPreedit(QString(), 0);
    textediting::commitInput(*d->m, event->commitString(), event->replacementStart(),
                             event->replacementLength());
    int cursor = int(event->preeditString().size());
    for (const QInputMethodEvent::Attribute &attribute : event->attributes()) {
        if (attribute.type == QInputMethodEvent::Cursor)
            cursor = attribute.start;
    }
    d->setPreedit(event->preeditString(), cursor);
    d->restartBlink();
    d->updateCaret();
    d->scheduleScroll(Scroll::Caret);
}

QVariant RichTextBox::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const int windowStart = std::max(0, d->m->caret() - kSurroundingWindow);
    const int windowEnd = std::min(d->length(), d->m->caret() + kSurroundingWindow);
    switch (query) {
    case Qt::ImEnabled:
        return isEnabled() && !d->m->isReadOnly();
    case Qt::ImReadOnly:
        return d->m->isReadOnly();
    case Qt::ImCursorRectangle:
        return d->caretRect().translated(viewport()->pos()).toAlignedRect();
    case Qt::ImAnchorRectangle:
        return characterRect(d->m->anchor()).translated(viewport()->pos());
    case Qt::ImFont:
        return d->lines.font();
    case Qt::ImCursorPosition:
        return d->m->caret() - windowStart;
    case Qt::ImAnchorPosition:
        return std::clamp(d->m->anchor(), windowStart, windowEnd) - windowStart;
    case Qt::ImAbsolutePosition:
        return d->m->caret();
    case Qt::ImSurroundingText:
        return d->m->text().mid(windowStart, windowEnd - windowStart);
    case Qt::ImTextBeforeCursor:
        return d->m->text().mid(windowStart, d->m->caret() - windowStart);
    case Qt::ImTextAfterCursor:
        return d->m->text().mid(d->m->caret(), windowEnd - d->m->caret());
    case Qt::ImCurrentSelection:
        return d->m->text().mid(d->selStart(), std::min(d->selEnd() - d->selStart(), 1024));
    case Qt::ImHints:
        return int(inputMethodHints());
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}
