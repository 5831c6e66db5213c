// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/TestScript.h"

#include "core/Gbk.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// Script files hold a test text or two: anything larger is not a script.
constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

std::optional<bool> parseSwitch(const QString &argument)
{
    if (argument == u"on")
        return true;
    if (argument == u"off")
        return false;
    return std::nullopt;
}

std::optional<int> parseCount(const QString &argument, int max)
{
    bool ok = false;
    const int value = argument.trimmed().toInt(&ok);
    if (!ok || value < 0 || value > max)
        return std::nullopt;
    return value;
}

Status readTextFile(const QString &path, TestScript::FileEncoding encoding, QString &contents)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Status::failure(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    if (file.size() > kMaxFileSize)
        return Status::failure(QStringLiteral("%1 is larger than 4 MiB").arg(path));
    const QByteArray bytes = file.readAll();
    if (encoding == TestScript::FileEncoding::Gbk) {
        contents = gbk::decode(bytes);
    } else {
        contents = QString::fromUtf8(bytes);
        if (contents.startsWith(QChar(0xFEFF)))
            contents.remove(0, 1);
    }
    return Status::success();
}

QString joinLines(const QString &contents)
{
    QString text = contents;
    text.remove(u'\r');
    text.remove(u'\n');
    return text;
}

QString joinWords(const QString &contents)
{
    static const QRegularExpression whiteSpace(QStringLiteral("\\s+"));
    return contents.split(whiteSpace, Qt::SkipEmptyParts).join(u' ');
}

} // namespace

Status TestScript::apply(const QString &line, const QDir &baseDir)
{
    if (line.trimmed().isEmpty() || line.trimmed().startsWith(u'#'))
        return Status::success();
    const qsizetype blank = line.indexOf(u' ');
    const QString keyword = blank < 0 ? line : line.left(blank);
    const QString argument = blank < 0 ? QString() : line.mid(blank + 1);
    const auto fileArgument = [&](QString &contents) {
        if (argument.isEmpty())
            return Status::failure(QStringLiteral("%1 needs a file name").arg(keyword));
        return readTextFile(baseDir.filePath(argument), fileEncoding, contents);
    };

    if (keyword == u"roots" || keyword == u"hints") {
        const std::optional<bool> value = parseSwitch(argument);
        if (!value)
            return Status::failure(QStringLiteral("%1 takes on or off").arg(keyword));
        (keyword == u"roots" ? rootsAllowed : hintsAllowed) = *value;
    } else if (keyword == u"forbid") {
        if (argument.isEmpty())
            forbiddenList.reset();
        else
            forbiddenList = argument;
    } else if (keyword == u"ime") {
        inputMethodRule = argument;
    } else if (keyword == u"time-limit" || keyword == u"hint-delay") {
        // The client adds one to the hint delay and keeps it in 16 bits.
        const std::optional<int> value =
            parseCount(argument, keyword == u"time-limit" ? 32767 : 32766);
        if (!value)
            return Status::failure(
                QStringLiteral("%1 takes a whole number from 0 on").arg(keyword));
        (keyword == u"time-limit" ? timeLimit : hintDelay) = *value;
    } else if (keyword == u"text") {
        text = protocol::parseTestText(argument);
    } else if (keyword == u"words") {
        text = protocol::TestText{protocol::TextKind::Words, joinWords(argument)};
    } else if (keyword == u"text-file" || keyword == u"words-file") {
        QString contents;
        if (Status status = fileArgument(contents); !status.ok())
            return status;
        text = keyword == u"text-file"
                   ? protocol::TestText{protocol::TextKind::Plain, joinLines(contents)}
                   : protocol::TestText{protocol::TextKind::Words, joinWords(contents)};
    } else if (keyword == u"message") {
        const qsizetype split = argument.indexOf(u' ');
        const std::optional<int> seconds =
            parseCount(split < 0 ? argument : argument.left(split), 24 * 3600);
        if (!seconds || split < 0)
            return Status::failure(QStringLiteral("message takes seconds and a text"));
        messages.append({*seconds, argument.mid(split + 1)});
    } else if (keyword == u"file-encoding") {
        if (argument == u"utf-8")
            fileEncoding = FileEncoding::Utf8;
        else if (argument == u"gbk")
            fileEncoding = FileEncoding::Gbk;
        else
            return Status::failure(QStringLiteral("file-encoding takes utf-8 or gbk"));
    } else {
        return Status::failure(QStringLiteral("unknown directive \"%1\"").arg(keyword));
    }
    return Status::success();
}

Status TestScript::load(const QString &path)
{
    QString contents;
    if (Status status = readTextFile(path, FileEncoding::Utf8, contents); !status.ok())
        return status;
    const QDir baseDir = QFileInfo(path).absoluteDir();
    const QStringList lines = contents.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (Status status = apply(line, baseDir); !status.ok())
            return Status::failure(
                QStringLiteral("%1:%2: %3").arg(path).arg(i + 1).arg(status.error));
    }
    return Status::success();
}

Status TestScript::checkEncodable() const
{
    QStringList all = {environmentMessage(), inputMethodsMessage(), timingMessage(),
                       textMessage().value_or(QString())};
    for (const TimedMessage &message : messages)
        all << message.text;
    QString unencodable;
    for (const QString &message : all) {
        for (QChar c : gbk::encode(message).unencodable) {
            if (!unencodable.contains(c))
                unencodable += c;
        }
    }
    if (!unencodable.isEmpty())
        return Status::failure(
            QStringLiteral("these characters cannot be sent in GBK: %1").arg(unencodable));
    return Status::success();
}

QString TestScript::environmentMessage() const
{
    return protocol::environmentMessage({rootsAllowed, hintsAllowed, forbiddenList});
}

QString TestScript::inputMethodsMessage() const
{
    return protocol::inputMethodsMessage(inputMethodRule);
}

QString TestScript::timingMessage() const
{
    return protocol::timingMessage(timeLimit, hintDelay);
}

std::optional<QString> TestScript::textMessage() const
{
    if (!text)
        return std::nullopt;
    return protocol::textMessage(*text);
}
