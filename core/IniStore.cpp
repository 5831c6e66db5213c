// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/IniStore.h"

#include "core/Blanks.h"
#include "core/Gbk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>
#include <QStringDecoder>

#include <optional>

namespace {

// A value is read back as at most this many bytes, like the 255-byte buffer (with its
// terminating zero) of the profile reader the settings file was designed for.
constexpr qsizetype kMaxValueBytes = 254;

struct Line
{
    QByteArray text;   // without its line ending
    QByteArray ending; // "\r\n", "\n", a lone "\r" ending the file, or empty for none

    // True when the next line starts after this one: a lone CR ends no line.
    bool isEnded() const { return ending.endsWith('\n'); }
};

using blanks::isBlank;

// The file's bytes as GBK. A file that is not clean GBK but is clean UTF-8 (written by a
// teacher's script, say) is read as UTF-8 and converted, so the next save writes it in GBK;
// what a GBK file gives is unchanged.
QByteArray asGbk(const QByteArray &content)
{
    if (!gbk::decode(content).contains(QChar(0xFFFD)))
        return content;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(content);
    if (utf8.hasError())
        return content;
    return gbk::encode(text, gbk::Unencodable::Replace).bytes;
}

QList<Line> splitLines(const QByteArray &content)
{
    QList<Line> lines;
    qsizetype start = 0;
    while (start < content.size()) {
        const qsizetype newline = content.indexOf('\n', start);
        if (newline < 0) {
            // A CR at the very end belongs to the line ending a writer cut short, not to the
            // value, so the value reads the same before and after a line is added behind it.
            QByteArray last = content.mid(start);
            QByteArray ending;
            if (last.endsWith('\r')) {
                last.chop(1);
                ending = QByteArrayLiteral("\r");
            }
            lines.append({last, ending});
            break;
        }
        qsizetype end = newline;
        if (end > start && content[end - 1] == '\r')
            --end;
        lines.append({content.mid(start, end - start), content.mid(end, newline + 1 - end)});
        start = newline + 1;
    }
    return lines;
}

// The section named by a header line ("[name]"), or nothing for any other line. The name is
// decoded before ']' is looked for, as the second byte of a GBK character may be 0x5D.
std::optional<QString> sectionName(const QByteArray &line)
{
    const QString text = blanks::trimmed(gbk::decode(line));
    if (!text.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = text.indexOf(u']');
    return blanks::trimmed(text.mid(1, close < 0 ? -1 : close - 1));
}

// The position of the '=' of a value line, or -1. '=' (0x3D) never occurs inside a GBK
// character, so the raw bytes can be searched.
qsizetype equalsSign(const QByteArray &line)
{
    const QByteArray trimmed = blanks::trimmed(line);
    if (trimmed.isEmpty() || trimmed.startsWith(';') || trimmed.startsWith('['))
        return -1;
    return line.indexOf('=');
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Where a key's line is, or where the key would go.
struct Location
{
    qsizetype keyLine = -1;    // the line holding the key
    qsizetype sectionEnd = -1; // the line after which a new key of the section goes
};

// Finds the key in the sections of the given name, the first one found winning. New keys go
// into the first section of that name, after its last line with content, so the blank lines
// that usually separate sections stay in front of the next section.
Location locate(const QList<Line> &lines, const QString &section, const QString &key)
{
    Location found;
    bool inSection = false;
    bool inFirstSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray &text = lines[i].text;
        if (const std::optional<QString> name = sectionName(text)) {
            inSection = sameName(*name, section);
            inFirstSection = inSection && found.sectionEnd < 0;
            if (inFirstSection)
                found.sectionEnd = i;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype equals = equalsSign(text);
        if (equals >= 0 && sameName(blanks::trimmed(gbk::decode(text.left(equals))), key)) {
            found.keyLine = i;
            return found;
        }
        if (inFirstSection && !blanks::trimmed(text).isEmpty())
            found.sectionEnd = i;
    }
    return found;
}

// Keeps the whole characters of the first kMaxValueBytes bytes. A two-byte character that
// the limit would cut in half is dropped entirely rather than left as a stray lead byte.
QByteArray cutValue(const QByteArray &value)
{
    if (value.size() <= kMaxValueBytes)
        return value;
    qsizetype i = 0;
    while (i < kMaxValueBytes) {
        const auto lead = uchar(value[i]);
        const auto trail = i + 1 < value.size() ? uchar(value[i + 1]) : uchar(0);
        const bool pair = lead >= 0x81 && lead <= 0xFE &&
                          ((trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFE));
        const qsizetype length = pair ? 2 : 1;
        if (i + length > kMaxValueBytes)
            break;
        i += length;
    }
    return value.left(i);
}

QByteArray lineEndingOf(const QList<Line> &lines)
{
    for (const Line &line : lines) {
        if (line.isEnded())
            return line.ending;
    }
    return QByteArrayLiteral("\r\n"); // a new (or one-line) file gets the usual INI endings
}

Status saveFailure(const QString &file, const QString &reason)
{
    return Status::failure(
        QStringLiteral("无法保存设置文件 %1：%2").arg(QDir::toNativeSeparators(file), reason));
}

bool hasLineBreak(const QString &text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

// Section and key names that would not read back as themselves once written.
std::optional<QString> nameProblem(const QString &section, const QString &key)
{
    if (section.isEmpty() || key.isEmpty())
        return QStringLiteral("节名和键名不能为空");
    if (hasLineBreak(section) || hasLineBreak(key))
        return QStringLiteral("节名和键名不能含有换行符");
    if (section.contains(u']'))
        return QStringLiteral("节名不能含有“]”");
    if (key.contains(u'=') || key.startsWith(u'[') || key.startsWith(u';'))
        return QStringLiteral("键名不能含有“=”，也不能以“[”或“;”开头");
    return std::nullopt;
}

} // namespace

QString ReadIni(const QString &section, const QString &key, const QString &file)
{
    QFile in(file);
    if (!QFileInfo(file).isFile() || !in.open(QIODevice::ReadOnly))
        return {};
    const QList<Line> lines = splitLines(asGbk(in.readAll()));
    const Location where = locate(lines, blanks::trimmed(section), blanks::trimmed(key));
    if (where.keyLine < 0)
        return {};
    const QByteArray &text = lines[where.keyLine].text;
    return gbk::decode(cutValue(blanks::trimmed(text.mid(text.indexOf('=') + 1))));
}

Status WriteIni(const QString &section, const QString &key, const QString &value,
                const QString &file)
{
    const QString sectionName = blanks::trimmed(section);
    const QString keyName = blanks::trimmed(key);
    if (const std::optional<QString> problem = nameProblem(sectionName, keyName))
        return saveFailure(file, *problem);
    // A line break would start a new line of the file with whatever follows it, so such a
    // value is refused instead of being stored in a changed form.
    if (hasLineBreak(value))
        return saveFailure(file, QStringLiteral("设置值不能含有换行符"));
    const gbk::Encoded sectionBytes = gbk::encode(sectionName);
    const gbk::Encoded keyBytes = gbk::encode(keyName);
    const gbk::Encoded valueBytes = gbk::encode(value);
    const QString unencodable =
        sectionBytes.unencodable + keyBytes.unencodable + valueBytes.unencodable;
    if (!unencodable.isEmpty())
        return saveFailure(file, QStringLiteral("不能保存这些字符：%1").arg(unencodable));

    QList<Line> lines;
    const QFileInfo info(file);
    if (info.exists()) {
        QFile in(file);
        if (!info.isFile())
            return saveFailure(file, QStringLiteral("该路径不是文件"));
        if (!in.open(QIODevice::ReadOnly))
            return saveFailure(file, in.errorString());
        lines = splitLines(asGbk(in.readAll()));
    }

    const QByteArray eol = lineEndingOf(lines);
    const QByteArray entry = keyBytes.bytes + '=' + valueBytes.bytes;
    const Location where = locate(lines, sectionName, keyName);
    if (where.keyLine >= 0) {
        // Keep the key as it is spelled in the file and the blanks after '='.
        QByteArray &text = lines[where.keyLine].text;
        qsizetype valueStart = text.indexOf('=') + 1;
        while (valueStart < text.size() && isBlank(text[valueStart]))
            ++valueStart;
        text = text.left(valueStart) + valueBytes.bytes;
    } else if (where.sectionEnd >= 0) {
        Line &before = lines[where.sectionEnd];
        if (!before.isEnded())
            before.ending = eol;
        lines.insert(where.sectionEnd + 1, {entry, eol});
    } else {
        if (!lines.isEmpty()) {
            if (!lines.last().isEnded())
                lines.last().ending = eol;
            if (!blanks::trimmed(lines.last().text).isEmpty())
                lines.append({{}, eol});
        }
        lines.append({'[' + sectionBytes.bytes + ']', eol});
        lines.append({entry, eol});
    }

    QByteArray content;
    for (const Line &line : std::as_const(lines))
        content += line.text + line.ending;

    QSaveFile out(file);
    // A computer room may keep the client's folder read-only and appset.ini writable: then
    // no file can be made beside it, and the file is written in place, still checked.
    out.setDirectWriteFallback(true);
    if (!out.open(QIODevice::WriteOnly))
        return saveFailure(file, out.errorString());
    // QSaveFile::commit() reports success even when the buffered bytes could not all be
    // written (full disk, size limit), and would then rename a cut file over the good one.
    // Flushing first makes such a failure visible while the old file is still in place.
    if (out.write(content) != content.size() || !out.flush() ||
        out.error() != QFileDevice::NoError) {
        const QString reason = out.errorString();
        out.cancelWriting();
        return saveFailure(file, reason);
    }
    if (!out.commit())
        return saveFailure(file, out.errorString());
    return Status::success();
}

QString settingsFile(const QString &appDir)
{
    return appDir + QStringLiteral("/appset.ini");
}
