// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// A compiled gettext catalogue (a .mo file) read without switching the process's locale, so
// the client can look up what a program calls a thing in Chinese while the desktop runs in
// another language.
class MessageCatalog
{
public:
    // Reads the file; a missing or malformed file gives an empty catalogue.
    static MessageCatalog load(const QString &path);
    // A catalogue from the file's bytes (tests, and load()).
    static MessageCatalog fromBytes(QByteArray bytes);

    bool isEmpty() const { return m_count == 0; }
    // The translation of msgid (UTF-8 text, no context); nothing when there is none.
    std::optional<QString> translate(const QString &msgid) const;

private:
    quint32 word(quint32 offset) const;
    QByteArray entry(quint32 table, quint32 index) const;

    QByteArray m_bytes;
    bool m_bigEndian = false;
    quint32 m_count = 0;
    quint32 m_originals = 0;
    quint32 m_translations = 0;
};
