// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>

// Cuts a fuzzer's input into pieces: each piece starts with a length byte (0-255) followed by
// that many bytes; a last piece shorter than its length byte takes what is left. Lets one
// input describe a sequence of arrivals, messages or file contents.
class FuzzInput
{
public:
    FuzzInput(const uint8_t *data, size_t size)
        : m_data(reinterpret_cast<const char *>(data))
        , m_size(size)
    {}

    bool atEnd() const { return m_pos >= m_size; }
    uint8_t byte() { return atEnd() ? 0 : uint8_t(m_data[m_pos++]); }
    QByteArray piece()
    {
        const size_t length = byte();
        const size_t take = length < m_size - m_pos ? length : m_size - m_pos;
        const QByteArray out(m_data + m_pos, qsizetype(take));
        m_pos += take;
        return out;
    }
    QByteArray rest()
    {
        const QByteArray out(m_data + m_pos, qsizetype(m_size - m_pos));
        m_pos = m_size;
        return out;
    }

private:
    const char *m_data;
    size_t m_size;
    size_t m_pos = 0;
};
