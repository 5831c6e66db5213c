// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Integrity of the shipped data files and root glyphs: whatever the generator produced, the
// client must be able to read every line and every root number must agree with its code.
#include "hints/RootKeys.h"
#include "tests/support/TestRegistry.h"

#include <QCryptographicHash>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QStringList>
#include <QTest>

#include <iconv.h>

namespace {

// Strict GBK decoding (iconv): a byte sequence GBK does not define yields no text at all, so a
// broken line cannot pass as clean.
std::optional<QString> decodeGbk(const QByteArray &bytes)
{
    iconv_t cd = iconv_open("UTF-8", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    QByteArray in = bytes;
    QByteArray out(bytes.size() * 3 + 4, '\0');
    char *inPtr = in.data();
    char *outPtr = out.data();
    size_t inLeft = in.size();
    size_t outLeft = out.size();
    const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1) || inLeft != 0)
        return std::nullopt;
    return QString::fromUtf8(out.constData(), out.size() - static_cast<int>(outLeft));
}

struct DataFile
{
    QStringList lines;
    QString problem; // first fault found while splitting the file into lines
};

DataFile readDataFile(const QString &name)
{
    DataFile result;
    QFile file(QStringLiteral(CLIENT_SOURCE_DIR "/assets/data/") + name);
    if (!file.open(QIODevice::ReadOnly)) {
        result.problem = name + QStringLiteral(" cannot be opened");
        return result;
    }
    const QByteArray all = file.readAll();
    if (!all.endsWith("\r\n")) {
        result.problem = name + QStringLiteral(" does not end with CR LF");
        return result;
    }
    const QList<QByteArray> rawLines = all.left(all.size() - 2).split('\n');
    for (qsizetype i = 0; i < rawLines.size(); ++i) {
        QByteArray raw = rawLines[i];
        if (!raw.endsWith('\r') && i + 1 < rawLines.size()) {
            result.problem = QStringLiteral("%1 line %2 ends with a bare LF").arg(name).arg(i + 1);
            return result;
        }
        if (raw.endsWith('\r'))
            raw.chop(1);
        const std::optional<QString> text = decodeGbk(raw);
        if (!text || text->contains(QChar(0xFFFD)) || text->contains(QLatin1Char('\r'))) {
            result.problem = QStringLiteral("%1 line %2 is not clean GBK").arg(name).arg(i + 1);
            return result;
        }
        result.lines.append(*text);
    }
    return result;
}

// GB2312 hanzi by lead byte: level 1 is 0xB0-0xD7, level 2 0xD8-0xF7.
QStringList gb2312Characters(int firstLead = 0xB0, int lastLead = 0xF7)
{
    QStringList chars;
    for (int lead = firstLead; lead <= lastLead; ++lead) {
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
            if (lead == 0xD7 && trail >= 0xFA)
                continue; // the five unassigned cells at the end of level 1
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            if (const auto text = decodeGbk(QByteArray(pair, 2)))
                chars.append(*text);
        }
    }
    return chars;
}

bool isCode(const QString &code)
{
    if (code.isEmpty() || code.size() > 4)
        return false;
    for (const QChar c : code) {
        if (c < QLatin1Char('a') || c > QLatin1Char('y'))
            return false;
    }
    return true;
}

// Why the root numbers cannot belong to the code, or an empty text when they can. Roots beyond
// the third stand for the last root (the file stores at most four); fewer than four roots are
// followed by the identification letter; a single root is a key-name character or a root that
// is a character itself, whose code starts with the root's key.
QString rootContradiction(const QString &field, const QString &code)
{
    if (field.size() % 3 != 0 || field.size() > 12)
        return QStringLiteral("root field length %1").arg(field.size());
    QString keys;
    for (qsizetype i = 0; i < field.size(); i += 3) {
        bool ok = false;
        const int number = field.mid(i, 3).toInt(&ok);
        const QChar key = rootkeys::rootKey(number);
        if (!ok || key.isNull())
            return QStringLiteral("root number %1").arg(field.mid(i, 3));
        keys.append(key);
    }
    const qsizetype count = keys.size();
    if (count == 1   ? code.at(0) == keys.at(0)
        : count == 4 ? code == keys
                     : code == keys + code.mid(count) && code.size() == count + 1)
        return {};
    return QStringLiteral("root keys %1 against code %2").arg(keys, code);
}

// The Wubi 86 word rule: two characters give the first two letters of each; three give the
// first letter of the first two and the first two letters of the third; four or more give the
// first letters of the first three and of the last. Empty when a character has no code.
QString wordRuleCode(const QStringList &charCodes)
{
    for (const QString &code : charCodes) {
        if (code.isEmpty())
            return {};
    }
    const qsizetype n = charCodes.size();
    if (n == 2)
        return charCodes[0].left(2) + charCodes[1].left(2);
    if (n == 3)
        return charCodes[0].left(1) + charCodes[1].left(1) + charCodes[2].left(2);
    if (n >= 4)
        return charCodes[0].left(1) + charCodes[1].left(1) + charCodes[2].left(1) +
               charCodes[n - 1].left(1);
    return {};
}

// Character -> code of its first row in wb.dat, as the hint shows it.
QHash<QString, QString> characterCodes(const DataFile &file)
{
    QHash<QString, QString> codes;
    for (const QString &line : file.lines) {
        const QStringList f = line.split(QLatin1Char(','));
        if (f.size() >= 2 && !codes.contains(f[0]))
            codes.insert(f[0], f[1]);
    }
    return codes;
}

// Whether a character's root numbers can hold `run`, the roots a component rule of
// root-overrides.txt gives one of its parts (tools/data/roots.py applies the same check when
// it generates the data). `ends`: the part ends the character; `offset`: the roots before it in
// the decomposition's order, which may differ from Wubi's, so it decides only whether the part
// may start after the third root. Of a longer split Wubi keeps the first three roots and the
// last: four numbers hold a run that starts in the first three and is cut after the third,
// and their last is the run's last where the part ends the character.
bool holdsRun(const QList<int> &numbers, const QList<int> &run, bool ends, int offset)
{
    const qsizetype size = run.size();
    if (size == 0)
        return true;
    if (numbers.size() < 4) {
        for (qsizetype o = ends ? numbers.size() - size : 0; o >= 0 && o + size <= numbers.size();
             ++o) {
            if (numbers.mid(o, size) == run)
                return true;
            if (ends)
                break;
        }
        return false;
    }
    if (ends && numbers[3] != run.last())
        return false;
    if (offset >= 3)
        return true;
    for (int o = 0; o < 3; ++o) {
        bool kept = true;
        for (qsizetype j = 0; j < size && o + j < 3; ++j)
            kept = kept && numbers[o + j] == run[j];
        if (kept)
            return true;
    }
    return false;
}

QList<int> numbersOf(const QString &text)
{
    QList<int> numbers;
    for (const QString &n : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        numbers << n.toInt();
    return numbers;
}

// root-overrides.txt as the generator reads it.
struct Overrides
{
    struct Settled
    {
        QList<int> numbers;
        QString reason;
    };
    QHash<QString, Settled> settled;
    QStringList order;     // the characters settled by hand, in file order
    QStringList ruleLines; // the component rules, blanks normalised
    QStringList problems;
};

Overrides readOverrides()
{
    Overrides result;
    QFile file(QStringLiteral(CLIENT_SOURCE_DIR "/tools/data/root-overrides.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        result.problems << QStringLiteral("root-overrides.txt cannot be opened");
        return result;
    }
    QSet<QString> ruled;
    int number = 0;
    for (const QString &raw : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        ++number;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype hash = line.indexOf(QStringLiteral(" # "));
        const QString rule = (hash >= 0 ? line.left(hash) : line).trimmed();
        const QString reason = hash >= 0 ? line.mid(hash + 3).trimmed() : QString();
        if (rule.contains(QLatin1Char(':'))) {
            const QString ch = rule.section(QLatin1Char(':'), 0, 0).trimmed();
            if (result.settled.contains(ch))
                result.problems
                    << QStringLiteral("line %1: %2 is settled twice").arg(number).arg(ch);
            else
                result.order << ch;
            result.settled.insert(ch, {numbersOf(rule.section(QLatin1Char(':'), 1)), reason});
        } else if (rule.contains(QLatin1Char('='))) {
            const QString part = rule.section(QLatin1Char('='), 0, 0).trimmed();
            if (ruled.contains(part))
                result.problems << QStringLiteral("line %1: %2 has a second component rule")
                                       .arg(number)
                                       .arg(part);
            ruled.insert(part);
            result.ruleLines << rule.simplified();
        }
    }
    return result;
}

struct RuledPart
{
    QString part;
    int offset = 0;
    bool ends = false;
    QList<int> run;
};

// root-overrides-parts.txt: the digest of the rules it was made from, and the ruled parts of
// each character settled by hand.
struct RuledParts
{
    QString digest;
    QHash<QString, QList<RuledPart>> parts;
};

RuledParts readRuledParts()
{
    RuledParts result;
    QFile file(QStringLiteral(CLIENT_SOURCE_DIR "/tools/data/root-overrides-parts.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return result;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QStringLiteral("rules "))) {
            result.digest = line.mid(6).trimmed();
            continue;
        }
        const QStringList fields = line.split(QLatin1Char('\t'));
        QList<RuledPart> &parts = result.parts[fields[0]];
        for (qsizetype i = 1; i < fields.size(); ++i) {
            const QStringList f = fields[i].split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (f.size() < 3)
                continue;
            parts.append({f[0], f[1].toInt(), f[2] == QLatin1String("end"),
                          numbersOf(f.mid(3).join(QLatin1Char(' ')))});
        }
    }
    return result;
}

} // namespace

class RootKeysTest : public QObject
{
    Q_OBJECT

private slots:
    void keyOfNumber_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QChar>("key");
        QTest::newRow("first A") << 1 << QChar('a');
        QTest::newRow("last A") << 9 << QChar('a');
        QTest::newRow("first S") << 10 << QChar('s');
        QTest::newRow("last D") << 24 << QChar('d');
        QTest::newRow("first H") << 38 << QChar('h');
        QTest::newRow("last M") << 74 << QChar('m');
        QTest::newRow("first Q") << 75 << QChar('q');
        QTest::newRow("last E") << 103 << QChar('e');
        QTest::newRow("first Y") << 121 << QChar('y');
        QTest::newRow("last I") << 149 << QChar('i');
        QTest::newRow("first X") << 161 << QChar('x');
        QTest::newRow("last B") << 189 << QChar('b');
        QTest::newRow("last N") << 200 << QChar('n');
        QTest::newRow("M repeated") << 201 << QChar('m');
        QTest::newRow("last") << 206 << QChar('m');
        QTest::newRow("zero") << 0 << QChar();
        QTest::newRow("negative") << -5 << QChar();
        QTest::newRow("past the end") << 207 << QChar();
    }
    void keyOfNumber()
    {
        QFETCH(int, number);
        QFETCH(QChar, key);
        QCOMPARE(rootkeys::rootKey(number), key);
    }

    void everyKeyHasRoots()
    {
        QSet<QChar> keys;
        for (int n = 1; n <= 206; ++n)
            keys.insert(rootkeys::rootKey(n));
        QCOMPARE(keys.size(), 25); // a to y; z carries no roots
        QVERIFY(!keys.contains(QChar('z')));
    }
};

class DataFilesTest : public QObject
{
    Q_OBJECT

private slots:
    void characterTable()
    {
        const DataFile file = readDataFile(QStringLiteral("wb.dat"));
        QVERIFY2(file.problem.isEmpty(), qPrintable(file.problem));
        QVERIFY(file.lines.size() <= 12000);
        QSet<QString> seen;
        int withRoots = 0;
        for (qsizetype i = 0; i < file.lines.size(); ++i) {
            const QStringList f = file.lines[i].split(QLatin1Char(','));
            const QString where =
                QStringLiteral("wb.dat line %1: %2").arg(i + 1).arg(file.lines[i]);
            QVERIFY2(f.size() == 4, qPrintable(where));
            QVERIFY2(f[0].size() == 1 || (f[0].size() == 2 && f[0][0].isHighSurrogate()),
                     qPrintable(where));
            QVERIFY2(!seen.contains(f[0]), qPrintable(where + QStringLiteral(" (repeated)")));
            seen.insert(f[0]);
            QVERIFY2(isCode(f[1]), qPrintable(where));
            if (!f[2].isEmpty()) {
                const QString problem = rootContradiction(f[2], f[1]);
                QVERIFY2(problem.isEmpty(), qPrintable(where + QStringLiteral(": ") + problem));
                ++withRoots;
            }
        }
        for (const QString &ch : gb2312Characters())
            QVERIFY2(seen.contains(ch), qPrintable(QStringLiteral("missing ") + ch));
        QVERIFY(withRoots > 0);
    }

    void gb2312HasPinyin()
    {
        const DataFile file = readDataFile(QStringLiteral("wb.dat"));
        QVERIFY2(file.problem.isEmpty(), qPrintable(file.problem));
        QHash<QString, QString> pinyin;
        for (const QString &line : file.lines) {
            const QStringList f = line.split(QLatin1Char(','));
            pinyin.insert(f.value(0), f.value(3));
        }
        for (const QString &ch : gb2312Characters())
            QVERIFY2(!pinyin.value(ch).isEmpty(), qPrintable(QStringLiteral("no pinyin: ") + ch));
    }

    void rootCheckRejectsContradictions_data()
    {
        QTest::addColumn<QString>("roots");
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("consistent");
        QTest::newRow("key name") << "001"
                                  << "aaaa" << true;
        QTest::newRow("too few roots for four letters") << "104079"
                                                        << "rqyy" << false;
        QTest::newRow("three roots and identification") << "104079125"
                                                        << "rqyy" << true;
        QTest::newRow("four roots") << "088115026080"
                                    << "wtfq" << true;
        QTest::newRow("wrong key") << "001075"
                                   << "aaq" << false;
        QTest::newRow("number out of range") << "207"
                                             << "mmmm" << false;
        QTest::newRow("zero") << "000"
                              << "aaaa" << false;
        QTest::newRow("partial group") << "0010"
                                       << "aaaa" << false;
        QTest::newRow("identification missing") << "104079125"
                                                << "rqy" << false;
    }
    void rootCheckRejectsContradictions()
    {
        QFETCH(QString, roots);
        QFETCH(QString, code);
        QFETCH(bool, consistent);
        QCOMPARE(rootContradiction(roots, code).isEmpty(), consistent);
    }

    void wordTable()
    {
        const DataFile file = readDataFile(QStringLiteral("wbcz.dat"));
        QVERIFY2(file.problem.isEmpty(), qPrintable(file.problem));
        QVERIFY(file.lines.size() > 10000);
        QSet<QString> words;
        for (qsizetype i = 0; i < file.lines.size(); ++i) {
            const QStringList f = file.lines[i].split(QLatin1Char(','));
            const QString where =
                QStringLiteral("wbcz.dat line %1: %2").arg(i + 1).arg(file.lines[i]);
            QVERIFY2(f.size() == 2, qPrintable(where));
            QVERIFY2(isCode(f[0]), qPrintable(where));
            QVERIFY2(f[1].size() >= 2, qPrintable(where));
            // A later line with the same word would never be found: each word stands once.
            QVERIFY2(!words.contains(f[1]), qPrintable(where + QStringLiteral(" (repeated)")));
            words.insert(f[1]);
        }
    }

    // The root practice table: one row per key in zone order, each opening with the key letter
    // and the key's main root.
    // Every level 1 character shows its roots; level 2 nearly every one.
    void gb2312Roots_data()
    {
        QTest::addColumn<int>("firstLead");
        QTest::addColumn<int>("lastLead");
        QTest::addColumn<double>("minimumShare");
        QTest::newRow("level 1") << 0xB0 << 0xD7 << 100.0;
        QTest::newRow("level 2") << 0xD8 << 0xF7 << 99.0;
    }
    void gb2312Roots()
    {
        QFETCH(int, firstLead);
        QFETCH(int, lastLead);
        QFETCH(double, minimumShare);
        const DataFile file = readDataFile(QStringLiteral("wb.dat"));
        QVERIFY2(file.problem.isEmpty(), qPrintable(file.problem));
        QHash<QString, QString> roots;
        for (const QString &line : file.lines) {
            const QStringList f = line.split(QLatin1Char(','));
            if (!roots.contains(f.value(0)))
                roots.insert(f.value(0), f.value(2));
        }
        const QStringList chars = gb2312Characters(firstLead, lastLead);
        QString without;
        for (const QString &ch : chars) {
            if (roots.value(ch).isEmpty())
                without += ch;
        }
        const double share = 100.0 * (chars.size() - without.size()) / chars.size();
        QVERIFY2(share >= minimumShare,
                 qPrintable(QStringLiteral("%1% with roots; without: %2").arg(share).arg(without)));
    }

    void wordRule_data()
    {
        QTest::addColumn<QStringList>("charCodes");
        QTest::addColumn<QString>("code");
        QTest::newRow("two") << QStringList{"qtry", "qtjf"} << "qtqt";
        QTest::newRow("three") << QStringList{"yfh", "thaj", "smn"} << "ytsm";
        QTest::newRow("four") << QStringList{"thgc", "scy", "rnrh", "def"} << "tsrd";
        QTest::newRow("five, last counts") << QStringList{"a", "b", "c", "d", "ef"} << "abce";
        QTest::newRow("one character") << QStringList{"aaaa"} << "";
        QTest::newRow("unknown character") << QStringList{"aaaa", ""} << "";
    }
    void wordRule()
    {
        QFETCH(QStringList, charCodes);
        QFETCH(QString, code);
        QCOMPARE(wordRuleCode(charCodes), code);
    }

    // A word's code follows from its characters' codes in wb.dat, so the word hint and the
    // character hints never give a learner two answers.
    void wordCodesFollowTheRule()
    {
        const DataFile chars = readDataFile(QStringLiteral("wb.dat"));
        QVERIFY2(chars.problem.isEmpty(), qPrintable(chars.problem));
        const DataFile words = readDataFile(QStringLiteral("wbcz.dat"));
        QVERIFY2(words.problem.isEmpty(), qPrintable(words.problem));
        const QHash<QString, QString> codes = characterCodes(chars);
        QStringList wrong;
        for (const QString &line : words.lines) {
            const QStringList f = line.split(QLatin1Char(','));
            QStringList charCodes;
            for (const QChar c : f.value(1))
                charCodes << codes.value(QString(c));
            const QString rule = wordRuleCode(charCodes);
            if (rule != f.value(0))
                wrong << line + QStringLiteral(" (rule: ") + rule + QLatin1Char(')');
        }
        QVERIFY2(wrong.isEmpty(),
                 qPrintable(QString::number(wrong.size()) + QStringLiteral(" words: ") +
                            wrong.mid(0, 10).join(QStringLiteral("; "))));
    }

    // Words whose source codes a component differently from the character table.
    void correctedWordCodes_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("code");
        QTest::newRow("犭 as two roots") << QStringLiteral("狐狸") << "qtqt";
        QTest::newRow("足 on the left") << QStringLiteral("践踏") << "khkh";
        QTest::newRow("鱼") << QStringLiteral("鲸鱼") << "qgqg";
        QTest::newRow("three characters end in 土") << QStringLiteral("围堵") << "lfff";
    }
    void correctedWordCodes()
    {
        QFETCH(QString, word);
        QFETCH(QString, code);
        const DataFile words = readDataFile(QStringLiteral("wbcz.dat"));
        QVERIFY2(words.problem.isEmpty(), qPrintable(words.problem));
        QString found;
        for (const QString &line : words.lines) {
            if (line.section(QLatin1Char(','), 1) == word) {
                found = line.section(QLatin1Char(','), 0, 0);
                break;
            }
        }
        QCOMPARE(found, code);
    }

    void practiceRootTable_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("mainRoot");
        const QString keys = QStringLiteral("GFDSAHJKLMTREWQYUIOPNBVCX");
        const QString mains = QStringLiteral("王土大木工目日口田山禾白月人金言立水火之已子女又纟");
        for (int row = 0; row < keys.size(); ++row) {
            QTest::newRow(qPrintable(keys.mid(row, 1)))
                << row << keys.mid(row, 1) << mains.mid(row, 1);
        }
    }
    void practiceRootTable()
    {
        QFETCH(int, row);
        QFETCH(QString, key);
        QFETCH(QString, mainRoot);
        const DataFile file = readDataFile(QStringLiteral("86zg.dat"));
        QVERIFY2(file.problem.isEmpty(), qPrintable(file.problem));
        QCOMPARE(file.lines.size(), 25);
        const QString line = file.lines.at(row);
        QCOMPARE(line.left(1), key);
        QCOMPARE(line.mid(1, 1), mainRoot);
        QSet<QChar> seen;
        for (const QChar c : line.mid(1)) {
            // Every character is one root: no blanks, nothing outside the basic plane.
            QVERIFY2(!c.isSpace() && !c.isSurrogate() && c.unicode() >= 0x80,
                     qPrintable(line + QStringLiteral(": ") + c));
            QVERIFY2(!seen.contains(c), qPrintable(line + QStringLiteral(" repeats ") + c));
            seen.insert(c);
        }
    }

    // Practice judges a root by the first row that lists it: a character in two rows would take
    // the later key's root away.
    void practiceRootsBelongToOneKey()
    {
        const DataFile file = readDataFile(QStringLiteral("86zg.dat"));
        QVERIFY2(file.problem.isEmpty(), qPrintable(file.problem));
        QHash<QChar, QChar> keyOf;
        int roots = 0;
        for (const QString &line : file.lines) {
            for (const QChar c : line.mid(1)) {
                ++roots;
                const auto earlier = keyOf.constFind(c);
                QVERIFY2(earlier == keyOf.constEnd(),
                         qPrintable(QStringLiteral("%1 of key %2 is shadowed by key %3")
                                        .arg(c)
                                        .arg(line.at(0))
                                        .arg(earlier == keyOf.constEnd() ? QChar() : *earlier)));
                keyOf.insert(c, line.at(0));
            }
        }
        // Every key carries several roots except S and K, which have three and two.
        QVERIFY2(roots >= 150, qPrintable(QString::number(roots)));
    }

    // The roots practice shows as glyph pictures: each stands in its key's row of 86zg.dat, its
    // glyph lies on that key, and its character is typed with another key (or has no code of
    // its own); each has its large picture. 足 on H is one of them.
    void practicePictures()
    {
        const DataFile table = readDataFile(QStringLiteral("86zg.dat"));
        QVERIFY2(table.problem.isEmpty(), qPrintable(table.problem));
        QHash<QString, QString> rows;
        for (const QString &line : table.lines)
            rows.insert(line.left(1), line.mid(1));
        const DataFile chars = readDataFile(QStringLiteral("wb.dat"));
        const QHash<QString, QString> codes = characterCodes(chars);
        QFile file(QStringLiteral(CLIENT_SOURCE_DIR "/assets/glyphs/practice-pictures.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        QStringList listed;
        for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            const QStringList f = line.split(QLatin1Char(' '));
            QCOMPARE(f.size(), 3);
            const QString key = f[0];
            const QString root = f[1];
            const int number = f[2].toInt();
            QVERIFY2(rows.value(key).contains(root), qPrintable(line));
            QCOMPARE(QString(rootkeys::rootKey(number)).toUpper(), key);
            const QString code = codes.value(root);
            QVERIFY2(!code.startsWith(key.toLower()),
                     qPrintable(line + QStringLiteral(" ") + code));
            const QImage large(QStringLiteral(CLIENT_SOURCE_DIR "/assets/glyphs/zg%1@4x.png")
                                   .arg(number, 3, 10, QLatin1Char('0')));
            QCOMPARE(large.size(), QSize(76, 80));
            listed << key + root;
        }
        for (const QString &expected : {QStringLiteral("H足"), QStringLiteral("F革"),
                                        QStringLiteral("E衣"), QStringLiteral("R〃")})
            QVERIFY2(listed.contains(expected), qPrintable(expected));
    }

    void glyphs_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QSize>("size");
        QTest::newRow("normal") << QString() << QSize(19, 20);
        QTest::newRow("high DPI") << QStringLiteral("@2x") << QSize(38, 40);
    }
    void glyphs()
    {
        QFETCH(QString, suffix);
        QFETCH(QSize, size);
        for (int n = 1; n <= 206; ++n) {
            const QString name =
                QStringLiteral("zg%1%2.png").arg(n, 3, 10, QLatin1Char('0')).arg(suffix);
            const QImage image(QStringLiteral(CLIENT_SOURCE_DIR "/assets/glyphs/") + name);
            QVERIFY2(!image.isNull(), qPrintable(name));
            QCOMPARE(image.size(), size);
            // Black strokes on a light ground: light corners, and some ink.
            QVERIFY2(qGray(image.pixel(0, 0)) > 230, qPrintable(name));
            int dark = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    dark += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
            QVERIFY2(dark >= 2, qPrintable(name));
        }
    }

    void repeatedMGlyphsAreEqual()
    {
        for (int n = 69; n <= 74; ++n) {
            const auto path = [](int k) {
                return QStringLiteral(CLIENT_SOURCE_DIR "/assets/glyphs/zg%1.png")
                    .arg(k, 3, 10, QLatin1Char('0'));
            };
            QCOMPARE(QImage(path(n)), QImage(path(n + 132)));
        }
    }
};

// The characters settled by hand in tools/data/root-overrides.txt follow its component rules:
// a line whose roots do not hold what a rule gives one of the character's parts says why (the
// bottom of 足 under 口 is 46, so 足 written 57 45 fails here).
class RootOverridesTest : public QObject
{
    Q_OBJECT

private slots:
    void holdsRun_data()
    {
        QTest::addColumn<QList<int>>("numbers");
        QTest::addColumn<QList<int>>("run");
        QTest::addColumn<bool>("ends");
        QTest::addColumn<int>("offset");
        QTest::addColumn<bool>("holds");
        QTest::newRow("足 with 止 against the bottom of 足")
            << QList<int>{57, 45} << QList<int>{46} << true << 1 << false;
        QTest::newRow("足 with the bottom of 足")
            << QList<int>{57, 46} << QList<int>{46} << true << 1 << true;
        QTest::newRow("是: the part ends a three-root character")
            << QList<int>{48, 35, 46} << QList<int>{46} << true << 2 << true;
        QTest::newRow("a short character misses the part's last root")
            << QList<int>{72, 125} << QList<int>{72, 125, 35} << true << 0 << false;
        QTest::newRow("a part in the middle, order changed")
            << QList<int>{97, 110, 69, 156} << QList<int>{110, 69} << false << 0 << true;
        QTest::newRow("cut after the third root, last kept")
            << QList<int>{35, 58, 158, 40} << QList<int>{35, 58, 158, 72, 40} << true << 0 << true;
        QTest::newRow("a last part whose last root is not the last")
            << QList<int>{57, 45, 23, 168} << QList<int>{23, 168, 125} << true << 2 << false;
        QTest::newRow("a first part taken otherwise")
            << QList<int>{136, 33, 66} << QList<int>{136, 18} << false << 0 << false;
        QTest::newRow("a part after the third root is dropped")
            << QList<int>{120, 69, 35, 118} << QList<int>{147} << false << 4 << true;
    }
    void holdsRun()
    {
        QFETCH(QList<int>, numbers);
        QFETCH(QList<int>, run);
        QFETCH(bool, ends);
        QFETCH(int, offset);
        QFETCH(bool, holds);
        QCOMPARE(::holdsRun(numbers, run, ends, offset), holds);
    }

    void handSettledLinesFollowTheRules()
    {
        const Overrides overrides = readOverrides();
        QVERIFY2(overrides.problems.isEmpty(), qPrintable(overrides.problems.join(u'\n')));
        QVERIFY(!overrides.order.isEmpty());
        const RuledParts ruled = readRuledParts();
        const QString digest =
            QString::fromLatin1(QCryptographicHash::hash(overrides.ruleLines.join(u'\n').toUtf8(),
                                                         QCryptographicHash::Sha256)
                                    .toHex());
        QVERIFY2(ruled.digest == digest,
                 "the component rules changed since root-overrides-parts.txt was written: "
                 "run tools/data/generate.sh");

        QStringList wrong;
        for (const QString &ch : overrides.order) {
            const Overrides::Settled &line = overrides.settled[ch];
            const auto parts = ruled.parts.constFind(ch);
            if (parts == ruled.parts.constEnd()) {
                wrong << ch + QStringLiteral(": not in root-overrides-parts.txt (run generate.sh)");
                continue;
            }
            QStringList departs;
            for (const RuledPart &part : *parts) {
                if (!::holdsRun(line.numbers, part.run, part.ends, part.offset)) {
                    QStringList run;
                    for (int n : part.run)
                        run << QString::number(n);
                    departs << part.part + QStringLiteral(" = ") + run.join(u' ');
                }
            }
            if (line.reason.isEmpty() && !departs.isEmpty())
                wrong << ch + QStringLiteral(": does not hold ") +
                             departs.join(QStringLiteral(", "));
            else if (!line.reason.isEmpty() && departs.isEmpty())
                wrong << ch + QStringLiteral(": gives a reason, but no rule is contradicted");
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
    }

    // What is settled by hand is what the client shows.
    void handSettledLinesReachTheTable()
    {
        const Overrides overrides = readOverrides();
        const DataFile file = readDataFile(QStringLiteral("wb.dat"));
        QVERIFY2(file.problem.isEmpty(), qPrintable(file.problem));
        QHash<QString, QString> fields;
        for (const QString &line : file.lines) {
            const QStringList f = line.split(QLatin1Char(','));
            if (!fields.contains(f.value(0)))
                fields.insert(f.value(0), f.value(2));
        }
        QStringList wrong;
        for (const QString &ch : overrides.order) {
            QString expected;
            for (int n : overrides.settled[ch].numbers)
                expected += QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'));
            const auto field = fields.constFind(ch);
            if (field != fields.constEnd() && *field != expected)
                wrong << QStringLiteral("%1: wb.dat %2, root-overrides.txt %3")
                             .arg(ch, *field, expected);
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
    }
};

CLIENT_TEST(RootKeysTest)
CLIENT_TEST(RootOverridesTest)
CLIENT_TEST(DataFilesTest)

#include "tst_datafiles.moc"
