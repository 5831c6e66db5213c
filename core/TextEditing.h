// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

class TextModel;

// What the student's typing does to a text box, by this client's rules: typed text and an
// input method's commit replace the selection, Backspace and Delete take the selection or one
// character, and a CR LF line break or a surrogate pair always counts as one character. The
// text box view calls these for the student's keys and input method; the tests call the same
// ones. A read-only box takes none of them. Each command is at most one change of the text.
namespace textediting {

// The caret position one character after (before) `position`, which it clamps to the text.
int nextPosition(const QString &text, int position);
int previousPosition(const QString &text, int position);

// A key's text (or Enter's CR LF) replaces the selection, or goes in at the caret.
void insertTyped(TextModel &model, const QString &typed);
// Backspace: the selection, else the character before the caret.
void deleteBackward(TextModel &model);
// Delete: the selection, else the character after the caret.
void deleteForward(TextModel &model);
// An input method's commit replaces the selection. Without one it may also replace
// `replacementLength` characters from caret + `replacementStart` (some input methods take
// back a syllable typed before they took over); all of it is one change. A commit of nothing
// that replaces nothing changes nothing.
void commitInput(TextModel &model, const QString &commit, int replacementStart = 0,
                 int replacementLength = 0);

} // namespace textediting
