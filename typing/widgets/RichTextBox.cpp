// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "typing/widgets/RichTextBox.h"

#include "core/TextEditing.h"
#include "core/TextModel.h"

#include "typing/widgets/TextBoxPainter.h"
#include "typing/widgets/VirtualKeys.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>

namespace {
// How much text around the caret the input method gets to see.
constexpr int kSurroundingWindow = 256;
} // namespace

struct RichTextBox::Private
{
    QPointer<TextModel> m; // never null while the box lives: the box owns one when given none
    TextBoxPainter painter;
    bool dragging = false;
    bool mouseSelects = true;
    qreal goalX = -1; // kept across Up/Down presses

    Private(RichTextBox *box, TextModel *model)
        : m(model)
        , painter(*model, *box)
    {}

    const TextBoxLayout &layout() const { return painter.layout(); }
    void moveCaret(int position, bool extend, bool atLineEnd = false)
    {
        m->setSelection(extend ? m->anchor() : position, position, TextModel::Follow::Caret);
        // End on a wrapped line shows the caret at that line's end, a click at the start of
        // the next line at the same position: the model sees no move and raises nothing.
        painter.setCaretAtLineEnd(atLineEnd);
    }
    void moveVertically(int lineDelta, bool extend)
    {
        if (goalX < 0)
            goalX = layout().caretX();
        const int keepGoal = goalX;
        moveCaret(layout().positionOnLine(layout().caretLine() + lineDelta, goalX), extend);
        goalX = keepGoal;
    }
    bool handleNavigation(QKeyEvent *event, int pageLines);
};

bool RichTextBox::Private::handleNavigation(QKeyEvent *event, int pageLines)
{
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const bool right = event->key() == Qt::Key_Right;
        if (m->anchor() != m->caret() && !extend)
            moveCaret(right ? m->selEnd() : m->selStart(), false);
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
    case Qt::Key_PageDown:
        moveVertically(event->key() == Qt::Key_PageUp ? -pageLines : pageLines, extend);
        return true;
    case Qt::Key_Home:
        moveCaret(control ? 0 : layout().lineStartPosition(layout().caretLine()), extend);
        return true;
    case Qt::Key_End: {
        bool atLineEnd = false;
        const int end =
            control ? m->length() : layout().lineEndPosition(layout().caretLine(), &atLineEnd);
        moveCaret(end, extend, atLineEnd);
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
    , d(std::make_unique<Private>(this, model ? model : new TextModel(this)))
{
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
    TextModel *m = d->m;
    const auto updateMicroFocus = [this] {
        if (hasFocus())
            QGuiApplication::inputMethod()->update(Qt::ImQueryInput);
    };
    connect(m, &TextModel::edited, this, updateMicroFocus);
    connect(m, &TextModel::reset, this, updateMicroFocus);
    connect(m, &TextModel::selectionChanged, this, updateMicroFocus);
    connect(m, &TextModel::readOnlyChanged, this, [this](bool readOnly) {
        setAttribute(Qt::WA_InputMethodEnabled, !readOnly);
        if (hasFocus())
            QGuiApplication::inputMethod()->update(Qt::ImEnabled | Qt::ImReadOnly);
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

void RichTextBox::ensureVisible(int position)
{
    d->painter.ensureVisible(position);
}

QRect RichTextBox::characterRect(int position) const
{
    return d->painter.characterRect(position);
}

int RichTextBox::lineCount() const
{
    return d->layout().lineCount();
}

QString RichTextBox::preeditText() const
{
    return d->layout().preedit();
}

void RichTextBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    d->painter.paint(painter, event->rect());
}

void RichTextBox::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    d->painter.resized();
}

void RichTextBox::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        d->painter.fontChanged();
    else if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange) {
        viewport()->update();
    }
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
    if (d->handleNavigation(event,
                            std::max(1, viewport()->height() / d->layout().lineHeight() - 1)))
        return;
    if (event->matches(QKeySequence::SelectAll)) {
        d->m->setSelection(0, d->m->length(), TextModel::Follow::Caret);
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
    if (!d->layout().preedit().isEmpty())
        QGuiApplication::inputMethod()->commit();
    d->goalX = -1;
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    d->moveCaret(d->painter.positionAt(event->position()), extend);
    d->dragging = true;
}

void RichTextBox::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    if (d->mouseSelects && d->dragging && (event->buttons() & Qt::LeftButton))
        d->moveCaret(d->painter.positionAt(event->position()), true);
}

void RichTextBox::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        d->dragging = false;
    const QPoint at = event->position().toPoint();
    d->m->notifyMouseUp(virtualkeys::buttonCode(event->button()),
                        virtualkeys::shiftState(event->modifiers()), at.x(), at.y());
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
    d->painter.focusChanged();
    d->m->notifyFocusIn();
}

void RichTextBox::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    if (d->m)
        d->m->notifyFocusOut();
    d->dragging = false;
    d->painter.focusChanged();
}

void RichTextBox::inputMethodEvent(QInputMethodEvent *event)
{
    event->accept();
    // Every event of the input method, a commit or only a change of the composition.
    d->m->notifyInputMethod();
    d->painter.setPreedit(QString(), 0);
    if (d->m->isReadOnly())
        return;
    textediting::commitInput(*d->m, event->commitString(), event->replacementStart(),
                             event->replacementLength());
    int cursor = int(event->preeditString().size());
    for (const QInputMethodEvent::Attribute &attribute : event->attributes()) {
        if (attribute.type == QInputMethodEvent::Cursor)
            cursor = attribute.start;
    }
    d->painter.setPreedit(event->preeditString(), cursor);
    d->painter.showCaret();
}

QVariant RichTextBox::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const TextModel &m = *d->m;
    const int windowStart = std::max(0, m.caret() - kSurroundingWindow);
    const int windowEnd = std::min(m.length(), m.caret() + kSurroundingWindow);
    switch (query) {
    case Qt::ImEnabled:
        return isEnabled() && !m.isReadOnly();
    case Qt::ImReadOnly:
        return m.isReadOnly();
    case Qt::ImCursorRectangle:
        return d->painter.caretRect().translated(viewport()->pos());
    case Qt::ImAnchorRectangle:
        return characterRect(m.anchor()).translated(viewport()->pos());
    case Qt::ImFont:
        return d->layout().font();
    case Qt::ImCursorPosition:
        return m.caret() - windowStart;
    case Qt::ImAnchorPosition:
        return std::clamp(m.anchor(), windowStart, windowEnd) - windowStart;
    case Qt::ImAbsolutePosition:
        return m.caret();
    case Qt::ImSurroundingText:
        return m.text().mid(windowStart, windowEnd - windowStart);
    case Qt::ImTextBeforeCursor:
        return m.text().mid(windowStart, m.caret() - windowStart);
    case Qt::ImTextAfterCursor:
        return m.text().mid(m.caret(), windowEnd - m.caret());
    case Qt::ImCurrentSelection:
        return m.text().mid(m.selStart(), std::min(m.selLength(), 1024));
    case Qt::ImHints:
        return int(inputMethodHints());
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}
