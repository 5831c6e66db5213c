// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/MessageCatalog.h"

#include <QFile>
#include <QtEndian>

#include <cstring>

namespace {

constexpr quint32 kMagic = 0x950412de;
// Catalogues of input methods are a few hundred kilobytes; a larger file is not read.
constexpr qint64 kMaxSize = 16 * 1024 * 1024;

} // namespace

MessageCatalog MessageCatalog::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSize)
        return {};
    return fromBytes(file.readAll());
}

MessageCatalog MessageCatalog::fromBytes(QByteArray bytes)
{
    MessageCatalog catalog;
    if (bytes.size() < 28)
        return catalog;
    catalog.m_bytes = std::move(bytes);
    const quint32 magic = qFromLittleEndian<quint32>(catalog.m_bytes.constData());
    if (magic == kMagic) {
        catalog.m_bigEndian = false;
    } else if (qFromBigEndian<quint32>(catalog.m_bytes.constData()) == kMagic) {
        catalog.m_bigEndian = true;
    } else {
        catalog.m_bytes.clear();
        return catalog;
    }
    const quint32 count = catalog.word(8);
    const quint32 originals = catalog.word(12);
    const quint32 translations = catalog.word(16);
    const quint64 size = quint64(catalog.m_bytes.size());
    // Both tables of (length, offset) pairs must lie inside the file.
    if (quint64(originals) + quint64(count) * 8 > size ||
        quint64(translations) + quint64(count) * 8 > size) {
        catalog.m_bytes.clear();
        return catalog;
    }
    catalog.m_count = count;
    catalog.m_originals = originals;
    catalog.m_translations = translations;
    return catalog;
}

quint32 MessageCatalog::word(quint32 offset) const
{
    if (quint64(offset) + 4 > quint64(m_bytes.size()))
        return 0;
    const char *at = m_bytes.constData() + offset;
    return m_bigEndian ? qFromBigEndian<quint32>(at) : qFromLittleEndian<quint32>(at);
}

QByteArray MessageCatalog::entry(quint32 table, quint32 index) const
{
    const quint32 length = word(table + index * 8);
    const quint32 offset = word(table + index * 8 + 4);
    if (quint64(offset) + length > quint64(m_bytes.size()))
        return {};
    return QByteArray(m_bytes.constData() + offset, length);
}

std::optional<QString> MessageCatalog::translate(const QString &msgid) const
{
    if (m_count == 0 || msgid.isEmpty())
        return std::nullopt;
    const QByteArray key = msgid.toUtf8();
    // The originals are sorted by their bytes.
    quint32 low = 0;
    quint32 high = m_count;
    while (low < high) {
        const quint32 middle = low + (high - low) / 2;
        QByteArray original = entry(m_originals, middle);
        // A plural entry holds the singular, a zero byte, then the plural.
        if (const qsizetype zero = original.indexOf('\0'); zero >= 0)
            original.truncate(zero);
        const int order = std::memcmp(original.constData(), key.constData(),
                                      size_t(std::min(original.size(), key.size())));
        const int compared = order != 0                     ? order
                             : original.size() < key.size() ? -1
                             : original.size() > key.size() ? 1
                                                            : 0;
        if (compared == 0) {
            QByteArray translation = entry(m_translations, middle);
            if (const qsizetype zero = translation.indexOf('\0'); zero >= 0)
                translation.truncate(zero);
            if (translation.isEmpty())
                return std::nullopt;
            return QString::fromUtf8(translation);
        }
        if (compared < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return std::nullopt;
}
