// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/TestSetup.h"

#include "core/Gbk.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {

constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

QString joinWords(const QString &text)
{
    static const QRegularExpression whiteSpace(QStringLiteral("\\s+"));
    return text.split(whiteSpace, Qt::SkipEmptyParts).join(u' ');
}

QString withoutLineBreaks(QString text)
{
    text.remove(u'\r');
    text.remove(u'\n');
    return text;
}

} // namespace

QString TestSetup::body() const
{
    switch (kind) {
    case Kind::Plain:
        return withoutLineBreaks(text);
    case Kind::Words:
        return QString::fromUtf16(protocol::kWordsPrefix) + joinWords(text);
    case Kind::RootPractice:
        return QStringLiteral("%1%2/%3")
            .arg(QString::fromUtf16(protocol::kRootPracticePrefix))
            .arg(rootZone)
            .arg(rootCount);
    }
    return {};
}

Status TestSetup::checkPassMark() const
{
    if (passSpeed < 0 || passSpeed > 1000 || passAccuracy < 0 || passAccuracy > 100)
        return Status::failure(QStringLiteral("及格线：速度为0到1000字/分，正确率为0到100%"));
    return Status::success();
}

Status TestSetup::applyTo(TestScript &script) const
{
    if (const Status status = checkPassMark(); !status.ok())
        return status;
    const QString textBody = body();
    const qsizetype length =
        kind == Kind::Words ? textBody.size() - 4 : (kind == Kind::Plain ? textBody.size() : 1);
    // A text of blanks only gives the students nothing to type.
    if (length == 0 || (kind != Kind::RootPractice && textBody.trimmed().isEmpty()))
        return Status::failure(QStringLiteral("测试文本为空"));
    if (length > kMaxTextLength)
        return Status::failure(
            QStringLiteral("测试文本有%1个字符，最多%2个").arg(length).arg(kMaxTextLength));
    if (kind == Kind::RootPractice &&
        (rootZone < 0 || rootZone > 5 || rootCount < 1 || rootCount > 32767))
        return Status::failure(QStringLiteral("字根练习：分区为0到5，字根数为1到32767"));
    if (timeLimit < 0 || timeLimit > 32767 || hintDelay < 0 || hintDelay > 32766)
        return Status::failure(QStringLiteral("限时为0到32767分钟，提示延迟为0到32766秒"));
    if (inputMethodRule.isEmpty())
        return Status::failure(QStringLiteral("输入法规则为空（不限制时请写“不限制”）"));
    TestScript changed = script;
    changed.text = protocol::parseTestText(textBody);
    changed.timeLimit = timeLimit;
    changed.hintDelay = hintDelay;
    changed.inputMethodRule = inputMethodRule;
    changed.rootsAllowed = rootsAllowed;
    changed.hintsAllowed = hintsAllowed;
    if (forbidden.isEmpty())
        changed.forbiddenList.reset();
    else
        changed.forbiddenList = forbidden;
    if (Status status = changed.checkEncodable(); !status.ok())
        return status;
    script = changed;
    return Status::success();
}

TestSetup TestSetup::from(const TestScript &script)
{
    TestSetup setup;
    if (script.text) {
        switch (script.text->kind) {
        case protocol::TextKind::Plain:
            setup.kind = Kind::Plain;
            setup.text = script.text->text;
            break;
        case protocol::TextKind::Words:
            setup.kind = Kind::Words;
            setup.text = script.text->text;
            break;
        case protocol::TextKind::RootPractice: {
            setup.kind = Kind::RootPractice;
            const QStringList fields = script.text->text.mid(4).split(u'/');
            setup.rootZone = fields.value(0).toInt();
            setup.rootCount = fields.size() > 1 ? fields.at(1).toInt() : 50;
            break;
        }
        }
    }
    setup.timeLimit = script.timeLimit;
    setup.hintDelay = script.hintDelay;
    setup.inputMethodRule = script.inputMethodRule;
    setup.rootsAllowed = script.rootsAllowed;
    setup.hintsAllowed = script.hintsAllowed;
    setup.forbidden = script.forbiddenList.value_or(QString());
    return setup;
}

Status TestSetup::readTextFile(const QString &path, FileEncoding encoding, Kind kind, QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Status::failure(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    if (file.size() > kMaxFileSize)
        return Status::failure(QStringLiteral("%1 is larger than 4 MiB").arg(path));
    QByteArray bytes = file.readAll();
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    if (bom)
        bytes.remove(0, 3);
    QString decoded;
    bool utf8 = encoding == FileEncoding::Utf8 || (encoding == FileEncoding::Auto && bom);
    if (encoding == FileEncoding::Auto && !bom) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        decoded = decoder.decode(bytes);
        utf8 = !decoder.hasError();
    }
    if (utf8)
        decoded = QString::fromUtf8(bytes);
    else
        decoded = gbk::decode(bytes);
    text = kind == Kind::Words ? joinWords(decoded) : withoutLineBreaks(decoded);
    return Status::success();
}
