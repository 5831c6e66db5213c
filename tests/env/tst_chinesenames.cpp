// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/ChineseNames.h"
#include "env/MessageCatalog.h"
#include "tests/support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <map>

namespace {

// A gettext catalogue as msgfmt writes it (little-endian, no hash table).
QByteArray catalogue(const std::map<QByteArray, QByteArray> &messages)
{
    const quint32 count = quint32(messages.size());
    const quint32 originals = 28;
    const quint32 translations = originals + count * 8;
    quint32 offset = translations + count * 8;
    QByteArray tables;
    QByteArray strings;
    QByteArray translated;
    auto word = [](QByteArray &into, quint32 value) {
        char bytes[4];
        qToLittleEndian(value, bytes);
        into.append(bytes, 4);
    };
    QByteArray originalTable;
    QByteArray translationTable;
    for (const auto &[id, text] : messages) {
        word(originalTable, quint32(id.size()));
        word(originalTable, offset + quint32(strings.size()));
        strings += id + '\0';
    }
    for (const auto &[id, text] : messages) {
        word(translationTable, quint32(text.size()));
        word(translationTable, offset + quint32(strings.size()));
        strings += text + '\0';
    }
    QByteArray file;
    word(file, 0x950412de);
    word(file, 0);
    word(file, count);
    word(file, originals);
    word(file, translations);
    word(file, 0);
    word(file, 0);
    return file + originalTable + translationTable + strings;
}

} // namespace

// Chinese names from the files the frameworks install: gettext catalogues and fcitx 4's table
// configurations. (The IBus tables' names are read from the real tables in tests/realenv.)
class ChineseNamesTest : public QObject
{
    Q_OBJECT

private slots:
    void catalogueLookups_data()
    {
        QTest::addColumn<QString>("msgid");
        QTest::addColumn<QString>("expected"); // empty: no translation
        QTest::newRow("first") << "Pinyin"
                               << "拼音";
        QTest::newRow("middle") << "Shuangpin"
                                << "双拼";
        QTest::newRow("last") << "Wubi Pinyin"
                              << "五笔拼音";
        QTest::newRow("plural takes the singular") << "%d file"
                                                   << "%d 个文件";
        QTest::newRow("missing") << "Cangjie"
                                 << "";
        QTest::newRow("prefix of an entry") << "Pin"
                                            << "";
        QTest::newRow("empty translation") << "Untranslated"
                                           << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void catalogueLookups()
    {
        QFETCH(QString, msgid);
        QFETCH(QString, expected);
        const MessageCatalog catalog = MessageCatalog::fromBytes(catalogue(
            {{"Pinyin", "拼音"},
             {"Shuangpin", "双拼"},
             {"Wubi Pinyin", "五笔拼音"},
             {QByteArray("%d file\0%d files", 16), QByteArray("%d 个文件\0%d 个文件", 25)},
             {"Untranslated", ""}}));
        QVERIFY(!catalog.isEmpty());
        QCOMPARE(catalog.translate(msgid).value_or(QString()), expected);
    }

    // A file that is no catalogue, or one whose tables point outside it, is empty.
    void brokenCataloguesAreEmpty_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good = catalogue({{"Pinyin", "拼音"}});
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("short") << good.left(20);
        QTest::newRow("no magic") << QByteArray(64, 'x');
        QByteArray huge = good;
        qToLittleEndian(quint32(0x7fffffff), huge.data() + 8); // the count
        QTest::newRow("count beyond the file") << huge;
        QByteArray cut = good;
        cut.truncate(good.size() - 4);
        QTest::newRow("strings cut short") << cut;
    }
    void brokenCataloguesAreEmpty()
    {
        QFETCH(QByteArray, bytes);
        const MessageCatalog catalog = MessageCatalog::fromBytes(bytes);
        QCOMPARE(catalog.translate(QStringLiteral("Pinyin")), std::nullopt);
    }

    void namesFromTheDataFolders()
    {
        QTemporaryDir first;
        QTemporaryDir second;
        const QString messages = second.filePath(QStringLiteral("locale/zh_CN/LC_MESSAGES"));
        QVERIFY(QDir().mkpath(messages));
        QFile mo(messages + QStringLiteral("/fcitx.mo"));
        QVERIFY(mo.open(QIODevice::WriteOnly));
        mo.write(catalogue({{"Pinyin", "拼音"}}));
        mo.close();
        QVERIFY(QDir().mkpath(first.filePath(QStringLiteral("fcitx/table"))));
        QFile conf(first.filePath(QStringLiteral("fcitx/table/wbx.conf")));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("[CodeTable]\nUniqueName=wubi\nName=Wubi\nName[zh_TW]=五筆字型\n"
                   "Name[zh_CN]=五笔字型\n");
        conf.close();
        const QStringList folders = {first.path(), second.path()};

        QCOMPARE(
            chinesenames::translated(QStringLiteral("Pinyin"), QStringLiteral("fcitx"), folders),
            QStringLiteral("拼音"));
        QCOMPARE(
            chinesenames::translated(QStringLiteral("Pinyin"), QStringLiteral("other"), folders),
            std::nullopt);
        QCOMPARE(
            chinesenames::translated(QStringLiteral("Pinyin"), QStringLiteral("../fcitx"), folders),
            std::nullopt);
        QCOMPARE(chinesenames::fcitx4Table(QStringLiteral("wubi"), folders),
                 QStringLiteral("五笔字型"));
        QCOMPARE(chinesenames::fcitx4Table(QStringLiteral("erbi"), folders), std::nullopt);
        // An engine name that would leave the tables' folder is no table.
        QCOMPARE(chinesenames::ibusTable(QStringLiteral("table:../../etc/passwd"), folders),
                 std::nullopt);
        QCOMPARE(chinesenames::ibusTable(QStringLiteral("pinyin"), folders), std::nullopt);
    }

    void dataFoldersFollowTheEnvironment()
    {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("HOME"), QStringLiteral("/home/li"));
        QCOMPARE(chinesenames::dataFolders(environment, {QStringLiteral("/opt/fcitx/share")}),
                 (QStringList{"/home/li/.local/share", "/usr/local/share", "/usr/share",
                              "/opt/fcitx/share"}));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), QStringLiteral("/data"));
        environment.insert(QStringLiteral("XDG_DATA_DIRS"), QStringLiteral("/a::/usr/share"));
        QCOMPARE(chinesenames::dataFolders(environment, {QStringLiteral("/usr/share")}),
                 (QStringList{"/data", "/a", "/usr/share"}));
    }
};

CLIENT_TEST(ChineseNamesTest)
#include "tst_chinesenames.moc"
