// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// The one blank-trimming rule of the client: blanks around a text go, every other character
// stays (a full-width space belongs to a word, a line break to a value). Blanks are spaces and
// tabs, as in the settings file; the word hint treats only spaces as blanks.
namespace blanks {

enum class Set { SpacesAndTabs, SpacesOnly };

template <typename Char> bool isBlank(Char c, Set set = Set::SpacesAndTabs)
{
    return c == u' ' || (set == Set::SpacesAndTabs && c == u'\t');
}

// Works on QString and on the raw bytes of a GBK line (QByteArray).
template <typename Text> Text trimmed(const Text &text, Set set = Set::SpacesAndTabs)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin], set))
        ++begin;
    while (end > begin && isBlank(text[end - 1], set))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace blanks
