// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Gbk.h"
#include "core/IniStore.h"
#include "tests/support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class IniStoreTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString ini() const { return settingsFile(m_dir.path()); }

private slots:
    void cleanup() { QFile::remove(ini()); }

    void read_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        const QByteArray file = "; settings\r\n[serverset]\r\nip=192.168.0.10\r\n"
                                "port = \t8080 \r\n\r\n[userinfo]\r\nname=\xd5\xc5\xc8\xfd\r\n"
                                "xuehao=\r\nbanji = a=b \r\n";
        QTest::newRow("plain") << file << "serverset"
                               << "ip"
                               << "192.168.0.10";
        QTest::newRow("blanks around") << file << "serverset"
                                       << "port"
                                       << "8080";
        QTest::newRow("chinese") << file << "userinfo"
                                 << "name" << QStringLiteral("张三");
        QTest::newRow("empty value") << file << "userinfo"
                                     << "xuehao"
                                     << "";
        QTest::newRow("first equals splits") << file << "userinfo"
                                             << "banji"
                                             << "a=b";
        QTest::newRow("case-insensitive") << file << "USERINFO"
                                          << "Name" << QStringLiteral("张三");
        QTest::newRow("missing key") << file << "userinfo"
                                     << "port"
                                     << "";
        QTest::newRow("missing section") << file << "other"
                                         << "ip"
                                         << "";
        QTest::newRow("key of other section") << file << "serverset"
                                              << "name"
                                              << "";
        QTest::newRow("LF endings") << QByteArray("[a]\nk=v\n[b]\nk=w\n") << "b"
                                    << "k"
                                    << "w";
        QTest::newRow("no final line end") << QByteArray("[a]\r\nk=v") << "a"
                                           << "k"
                                           << "v";
        QTest::newRow("comment is no key") << QByteArray("[a]\n;k=v\n") << "a"
                                           << ";k"
                                           << "";
        QTest::newRow("header with blanks") << QByteArray(" [ a ] \nk=v\n") << "a"
                                            << "k"
                                            << "v";
        QTest::newRow("first of duplicates") << QByteArray("[a]\nk=1\nk=2\n") << "a"
                                             << "k"
                                             << "1";
        // 0x5D (']') as the second byte of a character inside a section name.
        QTest::newRow("bracket byte in name")
            << QByteArray("[\x81\x5d]\nk=v\n") << gbk::decode("\x81\x5d") << "k"
            << "v";
    }
    void read()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        writeBytes(ini(), content);
        QCOMPARE(ReadIni(section, key, ini()), value);
    }

    void readMissingFileOrFolder()
    {
        QCOMPARE(ReadIni("serverset", "ip", ini()), QString());
        QCOMPARE(ReadIni("serverset", "ip", m_dir.filePath("none/appset.ini")), QString());
        QCOMPARE(ReadIni("serverset", "ip", m_dir.path()), QString());
    }

    // Values read back as at most 254 bytes; a character the cut would halve is left out.
    void longValueIsCut_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        const QString ascii = QString(300, u'x');
        QTest::newRow("ascii") << ascii << ascii.left(254);
        const QString chinese = QString(150, QChar(0x4E2D));
        QTest::newRow("chinese") << chinese << chinese.left(127);
        QTest::newRow("split character")
            << u'x' + chinese << u'x' + chinese.left(126); // 1 + 126 * 2 = 253 bytes
    }
    void longValueIsCut()
    {
        QFETCH(QString, value);
        QFETCH(QString, expected);
        QVERIFY(WriteIni("userinfo", "name", value, ini()).ok());
        QCOMPARE(ReadIni("userinfo", "name", ini()), expected);
        QVERIFY(readBytes(ini()).contains(gbk::encode(value).bytes)); // stored whole
    }

    void newFileIsCreatedInGbkWithCrLf()
    {
        QVERIFY(WriteIni("userinfo", "name", QStringLiteral("张三"), ini()).ok());
        QVERIFY(WriteIni("userinfo", "xuehao", "2024001", ini()).ok());
        QVERIFY(WriteIni("serverset", "ip", "10.0.0.1", ini()).ok());
        QCOMPARE(readBytes(ini()), QByteArray("[userinfo]\r\nname=\xd5\xc5\xc8\xfd\r\n"
                                              "xuehao=2024001\r\n\r\n[serverset]\r\n"
                                              "ip=10.0.0.1\r\n"));
        QCOMPARE(ReadIni("userinfo", "name", ini()), QStringLiteral("张三"));
    }

    // Writing changes only the line of the key (or adds one line), whatever the rest holds.
    void writeKeepsOtherLines_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        const QByteArray crlf = "; comment\r\n[ServerSet]\r\nIP = 1.2.3.4\r\nport=80\r\n\r\n"
                                "[userinfo]\r\nname=a\r\n";
        QTest::newRow("replace, keeps key spelling")
            << crlf << "serverset"
            << "ip"
            << "5.6.7.8"
            << QByteArray("; comment\r\n[ServerSet]\r\nIP = 5.6.7.8\r\nport=80\r\n\r\n"
                          "[userinfo]\r\nname=a\r\n");
        QTest::newRow("add to section before blank line")
            << crlf << "SERVERSET"
            << "extra"
            << "1"
            << QByteArray("; comment\r\n[ServerSet]\r\nIP = 1.2.3.4\r\nport=80\r\nextra=1\r\n"
                          "\r\n[userinfo]\r\nname=a\r\n");
        QTest::newRow("add to last section")
            << crlf << "userinfo"
            << "banji" << QStringLiteral("一班")
            << QByteArray("; comment\r\n[ServerSet]\r\nIP = 1.2.3.4\r\nport=80\r\n\r\n"
                          "[userinfo]\r\nname=a\r\nbanji=\xd2\xbb\xb0\xe0\r\n");
        QTest::newRow("LF file stays LF") << QByteArray("[a]\nk=1\n# note\n") << "b"
                                          << "k"
                                          << "2" << QByteArray("[a]\nk=1\n# note\n\n[b]\nk=2\n");
        QTest::newRow("last line without end") << QByteArray("[a]\nk=1") << "a"
                                               << "j"
                                               << "2" << QByteArray("[a]\nk=1\nj=2\n");
        QTest::newRow("last line ends in a lone CR") << QByteArray("[a]\nk=1\r") << "a"
                                                     << "j"
                                                     << "2" << QByteArray("[a]\nk=1\nj=2\n");
        QTest::newRow("new section after a lone CR")
            << QByteArray("[a]\r\nk=1\r") << "b"
            << "j"
            << "2" << QByteArray("[a]\r\nk=1\r\n\r\n[b]\r\nj=2\r\n");
        QTest::newRow("odd bytes kept") << QByteArray("\xff\xfe junk\r\n[a]\r\nk=\x81\r\n") << "a"
                                        << "k"
                                        << "v" << QByteArray("\xff\xfe junk\r\n[a]\r\nk=v\r\n");
        QTest::newRow("empty value") << QByteArray("[a]\r\nk=1\r\n") << "a"
                                     << "k"
                                     << "" << QByteArray("[a]\r\nk=\r\n");
    }
    void writeKeepsOtherLines()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        writeBytes(ini(), before);
        const Status status = WriteIni(section, key, value, ini());
        QVERIFY2(status.ok(), qPrintable(status.error));
        QCOMPARE(readBytes(ini()), after);
        QCOMPARE(ReadIni(section, key, ini()), value);
    }

    // Found by fuzzing: a file whose last line ends in a lone CR. Writing another key used to
    // complete that CR to a line ending, so the value read back lost a trailing CR it had
    // before; a value must read the same before and after another key is written.
    void otherValuesReadTheSameAfterAWrite()
    {
        writeBytes(ini(), QByteArray("[userinfoserInfo]\nName = \xc0\xee\xc3\xf7 \n"
                                     "[serverset]\nip=101\r"));
        const QString ip = ReadIni("serverset", "ip", ini());
        QCOMPARE(ip, QStringLiteral("101"));
        const Status status = WriteIni("userinfo", "name", QStringLiteral("李明 7"), ini());
        QVERIFY2(status.ok(), qPrintable(status.error));
        QCOMPARE(ReadIni("serverset", "ip", ini()), ip);
        QCOMPARE(ReadIni("userinfo", "name", ini()), QStringLiteral("李明 7"));
    }

    // Values that could not be read back as written are refused and change nothing.
    void refusedValuesLeaveFileAlone_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("line feed") << "userinfo"
                                   << "name"
                                   << "a\n[serverset]";
        QTest::newRow("carriage return") << "userinfo"
                                         << "name"
                                         << "a\rb";
        QTest::newRow("emoji") << "userinfo"
                               << "name" << QStringLiteral("张😀");
        QTest::newRow("empty key") << "userinfo"
                                   << ""
                                   << "x";
        QTest::newRow("key with equals") << "userinfo"
                                         << "a=b"
                                         << "x";
        QTest::newRow("section with bracket") << "user]info"
                                              << "name"
                                              << "x";
    }
    void refusedValuesLeaveFileAlone()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QByteArray before = "[userinfo]\r\nname=old\r\n";
        writeBytes(ini(), before);
        const Status status = WriteIni(section, key, value, ini());
        QVERIFY(!status.ok());
        QVERIFY(status.error.contains(QDir::toNativeSeparators(ini())));
        QCOMPARE(readBytes(ini()), before);
    }

    void writeFailsWhenFolderIsMissing()
    {
        const QString path = m_dir.filePath("missing/appset.ini");
        const Status status = WriteIni("serverset", "ip", "1.2.3.4", path);
        QVERIFY(!status.ok());
        QVERIFY(status.error.startsWith(QStringLiteral("无法保存设置文件")));
        QVERIFY(!QFile::exists(path));
    }

    void writeFailsWhenPathIsFolder()
    {
        const QString path = m_dir.filePath("folder.ini");
        QVERIFY(QDir().mkpath(path));
        QVERIFY(!WriteIni("serverset", "ip", "1.2.3.4", path).ok());
        QVERIFY(QFileInfo(path).isDir());
    }

    // A write that fails half-way (here: the file size limit, which binds root as well)
    // leaves the old file as it was and no temporary file behind.
    void failedWriteKeepsOldFile()
    {
        const QByteArray before = "[userinfo]\r\nname=old\r\n";
        writeBytes(ini(), before);
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 64;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const Status status = WriteIni("userinfo", "name", QString(200, u'n'), ini());
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!status.ok());
        QCOMPARE(readBytes(ini()), before);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"appset.ini"});
    }

    // A settings file written as UTF-8 (by a teacher's script) reads as its characters when
    // it is not clean GBK; a GBK file reads as before, bad bytes and all.
    void encodingOfTheFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("name");
        const QString name = QStringLiteral("张三丰");
        QTest::newRow("UTF-8") << ("[userinfo]\r\nname=" + name.toUtf8() + "\r\n") << name;
        QTest::newRow("UTF-8 with BOM")
            << ("\xef\xbb\xbf[userinfo]\r\nname=" + name.toUtf8() + "\r\nxuehao=7\r\n") << name;
        QTest::newRow("GBK") << ("[userinfo]\r\nname=" + gbk::encode(name).bytes + "\r\n") << name;
        QTest::newRow("GBK with a bad byte")
            << ("[userinfo]\r\nname=" + gbk::encode(name).bytes + "\xff\r\n")
            << name + QChar(0xFFFD);
        QTest::newRow("UTF-8 that is clean GBK stays GBK")
            << ("[userinfo]\r\nname=" + QStringLiteral("张三").toUtf8() + "\r\n")
            << gbk::decode(QStringLiteral("张三").toUtf8());
    }
    void encodingOfTheFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, name);
        writeBytes(ini(), content);
        QCOMPARE(ReadIni("userinfo", "name", ini()), name);
    }

    void utf8FileIsSavedAsGbk()
    {
        const QString name = QStringLiteral("张三丰");
        writeBytes(ini(), "[userinfo]\r\nname=" + name.toUtf8() + "\r\nbanji=一班\r\n");
        QVERIFY(WriteIni("userinfo", "xuehao", "7", ini()).ok());
        QCOMPARE(readBytes(ini()), "[userinfo]\r\nname=" + gbk::encode(name).bytes +
                                       "\r\nbanji=" + gbk::encode(QStringLiteral("一班")).bytes +
                                       "\r\nxuehao=7\r\n");
        QCOMPARE(ReadIni("userinfo", "name", ini()), name);
        QCOMPARE(ReadIni("userinfo", "banji", ini()), QStringLiteral("一班"));
    }

    // A read-only folder (a common computer-room setup) with a writable appset.ini: the file
    // is written in place. With the file read-only too, the write fails and changes nothing.
    void readOnlyFolder_data()
    {
        QTest::addColumn<bool>("fileWritable");
        QTest::newRow("writable file") << true;
        QTest::newRow("read-only file") << false;
    }
    void readOnlyFolder()
    {
        QFETCH(bool, fileWritable);
        QTemporaryDir dir;
        const QString path = settingsFile(dir.path());
        writeBytes(path, "[a]\r\nk=1\r\n");
        // Root passes every permission check: the write then runs as nobody (still in root's
        // group, so the group bits count as well).
        const bool root = geteuid() == 0;
        const QFile::Permissions folder = root ? QFile::ReadOwner | QFile::ExeOwner |
                                                     QFile::ReadGroup | QFile::ExeGroup |
                                                     QFile::ReadOther | QFile::ExeOther
                                               : QFile::ReadOwner | QFile::ExeOwner;
        QFile::Permissions file = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        if (fileWritable)
            file |= root ? QFile::WriteGroup | QFile::WriteOther : QFile::WriteOwner;
        QVERIFY(QFile::setPermissions(path, file));
        QVERIFY(QFile::setPermissions(dir.path(), folder));
        if (root)
            QCOMPARE(seteuid(65534), 0);
        const Status status = WriteIni("a", "k", "2", path);
        if (root)
            QCOMPARE(seteuid(0), 0);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY2(status.ok() == fileWritable, qPrintable(status.error));
        QCOMPARE(readBytes(path),
                 fileWritable ? QByteArray("[a]\r\nk=2\r\n") : QByteArray("[a]\r\nk=1\r\n"));
        if (!fileWritable)
            QVERIFY(status.error.contains(QStringLiteral("appset.ini")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"appset.ini"});
    }
};

CLIENT_TEST(IniStoreTest)
#include "tst_inistore.moc"
