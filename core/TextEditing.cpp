// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/TextEditing.h"

#include "core/TextModel.h"

#include <algorithm>

namespace textediting {

namespace {

// Whether text[at, at + 2) is one character: a CR LF pair or a surrogate pair.
bool isPair(const QString &text, int at)
{
    if (at < 0 || at + 1 >= text.size())
        return false;
    const QChar first = text.at(at);
    const QChar second = text.at(at + 1);
    return (first == u'\r' && second == u'\n') ||
           (first.isHighSurrogate() && second.isLowSurrogate());
}

void replaceSelection(TextModel &model, const QString &text)
{
    model.replace(model.selStart(), model.selLength(), text);
}

} // namespace

int nextPosition(const QString &text, int position)
{
    position = std::clamp(position, 0, int(text.size()));
    if (position == text.size())
        return position;
    return position + (isPair(text, position) ? 2 : 1);
}

int previousPosition(const QString &text, int position)
{
    position = std::clamp(position, 0, int(text.size()));
    if (position == 0)
        return 0;
    return position - (isPair(text, position - 2) ? 2 : 1);
}

void insertTyped(TextModel &model, const QString &typed)
{
    if (!model.isReadOnly())
        replaceSelection(model, typed);
}

void deleteBackward(TextModel &model)
{
    if (model.isReadOnly())
        return;
    if (model.selLength() > 0) {
        replaceSelection(model, QString());
        return;
    }
    const int from = previousPosition(model.text(), model.caret());
    model.replace(from, model.caret() - from, QString());
}

void deleteForward(TextModel &model)
{
    if (model.isReadOnly())
        return;
    if (model.selLength() > 0) {
        replaceSelection(model, QString());
        return;
    }
    const int to = nextPosition(model.text(), model.caret());
    model.replace(model.caret(), to - model.caret(), QString());
}

void commitInput(TextModel &model, const QString &commit, int replacementStart,
                 int replacementLength)
{
    if (model.isReadOnly() || (commit.isEmpty() && replacementLength <= 0))
        return;
    if (model.selLength() > 0) {
        replaceSelection(model, commit);
        return;
    }
    const int from = std::clamp(model.caret() + replacementStart, 0, model.length());
    const int removed = std::clamp(replacementLength, 0, model.length() - from);
    model.replace(from, removed, commit);
}

} // namespace textediting
