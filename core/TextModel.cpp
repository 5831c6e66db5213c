// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/TextModel.h"

#include <algorithm>

TextModel::TextModel(QObject *parent)
    : QObject(parent)
{}

void TextModel::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    m_colors.assign(size_t(text.size()), kDefaultColor);
    m_emphasis.assign(size_t(text.size()), 0);
    m_anchor = m_caret = 0;
    emit reset();
    emit changed(m_text);
}

void TextModel::replace(int from, int removed, const QString &inserted)
{
    from = std::clamp(from, 0, length());
    removed = std::clamp(removed, 0, length() - from);
    if (removed == 0 && inserted.isEmpty())
        return;
    const int end = from + int(inserted.size());
    if (QStringView(m_text).mid(from, removed) == inserted) {
        setSelection(end, end, Follow::Caret);
        return;
    }
    emit aboutToEdit();
    // New characters take the format of the character before them.
    const int source = from > 0 ? from - 1 : (from + removed < length() ? from + removed : -1);
    const QRgb color = source >= 0 ? m_colors[size_t(source)] : kDefaultColor;
    const quint8 emphasised = source >= 0 ? m_emphasis[size_t(source)] : 0;
    m_text.replace(from, removed, inserted);
    m_colors.erase(m_colors.begin() + from, m_colors.begin() + from + removed);
    m_colors.insert(m_colors.begin() + from, size_t(inserted.size()), color);
    m_emphasis.erase(m_emphasis.begin() + from, m_emphasis.begin() + from + removed);
    m_emphasis.insert(m_emphasis.begin() + from, size_t(inserted.size()), emphasised);
    m_anchor = m_caret = end;
    emit edited(from, removed, int(inserted.size()));
    emit changed(m_text);
}

void TextModel::setSelStart(int start)
{
    setSelection(start, start, Follow::SelStart);
}

void TextModel::setSelLength(int length)
{
    const int start = selStart();
    setSelection(start, start + std::clamp(length, 0, this->length() - start), Follow::SelStart);
}

void TextModel::select(int start, int length)
{
    start = std::clamp(start, 0, this->length());
    setSelection(start, start + std::clamp(length, 0, this->length() - start), Follow::SelStart);
}

void TextModel::setSelection(int anchor, int caret, Follow follow)
{
    anchor = std::clamp(anchor, 0, length());
    caret = std::clamp(caret, 0, length());
    if (anchor == m_anchor && caret == m_caret)
        return;
    emit selectionAboutToChange(anchor, caret);
    m_anchor = anchor;
    m_caret = caret;
    emit selectionChanged(anchor, caret, follow);
}

void TextModel::setFormat(int from, int length, const QColor &color, bool emphasis)
{
    from = std::clamp(from, 0, this->length());
    const int to = from + std::clamp(length, 0, this->length() - from);
    const QRgb rgb = color.rgb();
    const quint8 on = emphasis;
    const auto differs = [&](int i) {
        return m_colors[size_t(i)] != rgb || m_emphasis[size_t(i)] != on;
    };
    int first = from;
    while (first < to && !differs(first))
        ++first;
    if (first == to)
        return;
    int last = to;
    while (!differs(last - 1))
        --last;
    std::fill(m_colors.begin() + first, m_colors.begin() + last, rgb);
    std::fill(m_emphasis.begin() + first, m_emphasis.begin() + last, on);
    emit formatChanged(first, last);
}

QColor TextModel::charColor(int position) const
{
    return position >= 0 && position < length() ? QColor(m_colors[size_t(position)])
                                                : QColor(kDefaultColor);
}

bool TextModel::charEmphasis(int position) const
{
    return position >= 0 && position < length() && m_emphasis[size_t(position)];
}

void TextModel::setReadOnly(bool readOnly)
{
    if (m_readOnly == readOnly)
        return;
    m_readOnly = readOnly;
    emit readOnlyChanged(readOnly);
}

void TextModel::setEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    emit enabledChanged(enabled);
}

void TextModel::notifyFocusIn()
{
    m_focused = true;
    emit gotFocus();
}
