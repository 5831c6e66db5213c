// Provisional implementation: keeps the text and per-character formats; painting is plain.
#include "typing/RichTextBox.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QVector>

struct RichTextBox::Private
{
    QString text;
    QVector<QColor> colors;
    QVector<bool> emphasis;
    int selStart = 0;
    int selLength = 0;
    bool readOnly = false;
};

RichTextBox::RichTextBox(QWidget *parent) : QAbstractScrollArea(parent), d(new Private)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
}

RichTextBox::~RichTextBox() { delete d; }

QString RichTextBox::text() const { return d->text; }

void RichTextBox::setText(const QString &text)
{
    if (text == d->text)
        return;
    d->text = text;
    d->colors = QVector<QColor>(text.size(), QColor(Qt::black));
    d->emphasis = QVector<bool>(text.size(), false);
    d->selStart = 0;
    d->selLength = 0;
    viewport()->update();
    emit changed();
}

int RichTextBox::selStart() const { return d->selStart; }
void RichTextBox::setSelStart(int start)
{
    d->selStart = std::clamp(start, 0, int(d->text.size()));
    d->selLength = 0;
}
int RichTextBox::selLength() const { return d->selLength; }
void RichTextBox::setSelLength(int length)
{
    d->selLength = std::clamp(length, 0, int(d->text.size()) - d->selStart);
}
void RichTextBox::setSelColor(const QColor &color)
{
    for (int i = d->selStart; i < d->selStart + d->selLength; ++i)
        d->colors[i] = color;
    viewport()->update();
}
void RichTextBox::setSelEmphasis(bool on)
{
    for (int i = d->selStart; i < d->selStart + d->selLength; ++i)
        d->emphasis[i] = on;
    viewport()->update();
}
void RichTextBox::setReadOnly(bool readOnly) { d->readOnly = readOnly; }
bool RichTextBox::isReadOnly() const { return d->readOnly; }
QColor RichTextBox::charColor(int position) const
{
    return position >= 0 && position < d->colors.size() ? d->colors[position] : QColor(Qt::black);
}
bool RichTextBox::charEmphasis(int position) const
{
    return position >= 0 && position < d->emphasis.size() && d->emphasis[position];
}

void RichTextBox::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), Qt::white);
    painter.drawText(viewport()->rect(), Qt::TextWrapAnywhere, d->text);
}
void RichTextBox::resizeEvent(QResizeEvent *event) { QAbstractScrollArea::resizeEvent(event); }
void RichTextBox::keyPressEvent(QKeyEvent *event)
{
    emit keyDown(event->key() == Qt::Key_Backspace ? 8 : 0, 0);
    if (d->readOnly)
        return;
    if (event->key() == Qt::Key_Backspace && !d->text.isEmpty()) {
        QString t = d->text;
        t.chop(1);
        const auto colors = d->colors;
        setText(t);
        return;
    }
    if (!event->text().isEmpty() && event->text().at(0).isPrint())
        setText(d->text + event->text());
}
void RichTextBox::keyReleaseEvent(QKeyEvent *) { emit keyUp(0, 0); }
void RichTextBox::mousePressEvent(QMouseEvent *) {}
void RichTextBox::mouseReleaseEvent(QMouseEvent *event)
{
    emit mouseUp(1, 0, event->position().x(), event->position().y());
}
void RichTextBox::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    emit gotFocus();
}
void RichTextBox::inputMethodEvent(QInputMethodEvent *event)
{
    if (!d->readOnly && !event->commitString().isEmpty())
        setText(d->text + event->commitString());
}
QVariant RichTextBox::inputMethodQuery(Qt::InputMethodQuery query) const
{
    return QAbstractScrollArea::inputMethodQuery(query);
}
