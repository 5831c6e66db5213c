// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/TestRegistry.h"

#include "core/Gbk.h"
#include "server/ClassConsole.h"
#include "server/TestServer.h"
#include "teacher/widgets/HistoryWindow.h"
#include "teacher/widgets/TeacherWindow.h"
#include "teacher/widgets/TrendView.h"
#include "tests/server/TermFixture.h"

#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString run(const QString &program, const QStringList &arguments, int *exitCode = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    if (exitCode)
        *exitCode = process.exitCode();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Share of a picture's pixels that are not white: a page with a report on it has ink.
double ink(const QImage &image)
{
    qint64 dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 200;
    return double(dark) / (double(image.width()) * image.height());
}

// Into $SHOTS when it is set.
void shot(QWidget &widget, const QString &name)
{
    const QString folder = qEnvironmentVariable("SHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    widget.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

} // namespace

// The term in the console's window: the class view and the student view show the store's
// history, and their reports come out as files and on paper (a printer writing a PDF), pages a
// person can read: rendered by pdftoppm, the Chinese names in an embedded CJK font.
class HistoryWindowTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    TestServer m_server;
    std::unique_ptr<ClassConsole> m_console;
    std::unique_ptr<TeacherWindow> m_window;

    void checkPdf(const QString &path, const QStringList &texts, const QString &shotName)
    {
        int code = -1;
        const QString fonts = run("pdffonts", {path}, &code);
        QCOMPARE(code, 0);
        QVERIFY2(fonts.contains("NotoSansCJK") || fonts.contains("Noto Sans CJK"),
                 qPrintable(fonts));
        // Every font embedded: the column "emb" of each font's line.
        const QStringList lines = fonts.split('\n', Qt::SkipEmptyParts).mid(2);
        QVERIFY(!lines.isEmpty());
        for (const QString &line : lines) {
            const QStringList fields = line.split(' ', Qt::SkipEmptyParts);
            QVERIFY2(fields.size() >= 7 && fields.at(fields.size() - 5) == "yes", qPrintable(line));
        }
        // pdftotext may give a character by a radical of the same glyph (⽣ for 生): compared
        // in compatibility form.
        const QString text =
            run("pdftotext", {"-layout", path, "-"}).normalized(QString::NormalizationForm_KC);
        for (const QString &expected : texts)
            QVERIFY2(text.contains(expected), qPrintable(expected + " not in:\n" + text.left(600)));
        const QString prefix = m_dir.filePath(QFileInfo(path).completeBaseName());
        run("pdftoppm", {"-r", "70", "-png", "-f", "1", "-l", "1", path, prefix});
        QImage page;
        for (const QString &name :
             QDir(m_dir.path()).entryList({QFileInfo(prefix).fileName() + "*.png"}))
            page.load(m_dir.filePath(name));
        QVERIFY(!page.isNull());
        // An A4 page at 70 dpi, with text, lines and a table on it.
        QVERIFY(page.width() > 500 && page.height() > 750);
        QVERIFY2(ink(page) > 0.01, qPrintable(QString::number(ink(page))));
        const QString folder = qEnvironmentVariable("SHOTS");
        if (!folder.isEmpty() && !shotName.isEmpty()) {
            QDir().mkpath(folder);
            page.save(QDir(folder).filePath(shotName + ".png"));
        }
    }

private slots:
    void initTestCase()
    {
        m_console = std::make_unique<ClassConsole>(m_server);
        QVERIFY(m_console->openStore(m_dir.filePath("term.sqlite")).ok());
        TermFixture::write(m_console->store());
        m_console->setClassName(TermFixture::kClass);
        m_window = std::make_unique<TeacherWindow>(*m_console);
        m_window->show();
    }
    void cleanupTestCase()
    {
        m_window.reset();
        m_console.reset();
    }

    void theClassViewShowsTheTerm()
    {
        HistoryWindow *history = m_window->openHistory();
        QVERIFY(history->isVisible());
        QCOMPARE(history->classHistory().banji, TermFixture::kClass);
        QCOMPARE(history->classHistory().tests.size(), TermFixture::kTests);
        auto tables = history->findChildren<QTableWidget *>();
        QTableWidget *tests = nullptr;
        QTableWidget *improved = nullptr;
        for (QTableWidget *table : tables) {
            if (table->rowCount() == TermFixture::kTests && table->columnCount() == 11)
                tests = table;
            else if (table->rowCount() == TermFixture::kStudents)
                improved = table;
        }
        QVERIFY(tests && improved);
        // The first week: the mean speed as the store has it.
        QCOMPARE(tests->item(0, 1)->text(), QStringLiteral("第1周"));
        QCOMPARE(tests->item(0, 7)->text(),
                 QString::number(*history->classHistory().tests.first().summary.meanSpeed, 'f', 1));
        const TrendView *chart = nullptr;
        for (const TrendView *view : history->findChildren<TrendView *>())
            if (view->chart().title == QStringLiteral("全班速度"))
                chart = view;
        QVERIFY(chart);
        QCOMPARE(chart->chart().labels.size(), TermFixture::kTests);
        QCOMPARE(chart->chart().series.size(), 2);
        history->resize(1200, 760);
        QTest::qWait(50);
        shot(*history, "class-view");
    }

    void theStudentViewShowsOneStudentsTerm()
    {
        HistoryWindow *history = m_window->openHistory();
        history->showStudent(TermFixture::number(7));
        QCOMPARE(history->tabs()->currentIndex(), 1);
        QCOMPARE(history->student().name, TermFixture::name(7));
        QCOMPARE(history->student().results.size(), TermFixture::kTests);
        QTableWidget *results = nullptr;
        for (QTableWidget *table : history->findChildren<QTableWidget *>())
            if (table->columnCount() == 9)
                results = table;
        QVERIFY(results);
        QCOMPARE(results->rowCount(), TermFixture::kTests);
        QCOMPARE(results->item(0, 8)->text(), QStringLiteral("缺考"));
        // The speed chart leaves the missed tests out.
        const TrendView *speed = nullptr;
        for (const TrendView *view : history->findChildren<TrendView *>())
            if (view->chart().title == QStringLiteral("速度"))
                speed = view;
        QVERIFY(speed);
        QVERIFY(!speed->chart().series.first().values.at(0).has_value());
        QCOMPARE(*speed->chart().series.first().values.at(1), TermFixture::speed(7, 1));
        QTest::qWait(50);
        shot(*history, "student-view");
    }

    void reportsAsFilesAndOnPaper()
    {
        HistoryWindow *history = m_window->openHistory();
        history->showStudent(TermFixture::number(13));
        const QString student = m_dir.filePath("student.pdf");
        QVERIFY(history->exportTo(reports::Subject::Student, student).ok());
        checkPdf(student, {TermFixture::name(13), "学生成绩报告", "待定"}, "student-report-page");
        const QString term = m_dir.filePath("term.pdf");
        QVERIFY(history->exportTo(reports::Subject::Term, term).ok());
        checkPdf(term, {"班级学期报告", "进步最大", TermFixture::kClass}, "term-report-page");
        // A test's report: none selected yet, then the sixth week.
        QVERIFY(!history->exportTo(reports::Subject::Test, m_dir.filePath("none.pdf")).ok());
        QTableWidget *tests = nullptr;
        for (QTableWidget *table : history->findChildren<QTableWidget *>())
            if (table->rowCount() == TermFixture::kTests && table->columnCount() == 11)
                tests = table;
        QVERIFY(tests);
        tests->selectRow(5);
        const QString test = m_dir.filePath("test.pdf");
        QVERIFY(history->exportTo(reports::Subject::Test, test).ok());
        checkPdf(test, {"测试成绩报告", "第6周", TermFixture::name(39)}, "test-report-page");
        // Forty students take more than one page.
        int code = -1;
        QVERIFY(run("pdfinfo", {test}, &code).contains(QRegularExpression("Pages:\\s+2")));
        QVERIFY(history->exportTo(reports::Subject::Test, m_dir.filePath("test.xlsx")).ok());
        // On paper: the printer's own pages (here a printer writing a PDF).
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_dir.filePath("printed.pdf"));
        printer.setPageSize(QPageSize(QPageSize::A4));
        QVERIFY(history->printTo(printer, reports::Subject::Student).ok());
        checkPdf(m_dir.filePath("printed.pdf"), {TermFixture::name(13)}, {});
    }

    void setupsLibraryInTheWindow()
    {
        QComboBox *library = nullptr;
        for (QComboBox *box : m_window->findChildren<QComboBox *>())
            if (box->placeholderText() == QStringLiteral("（没有保存的试题）"))
                library = box;
        QVERIFY(library);
        TestSetup setup;
        setup.text = QStringLiteral("春眠不觉晓");
        setup.timeLimit = 2;
        setup.passSpeed = 55;
        m_window->showSetup(setup);
        QVERIFY(m_window->saveSetupAs("早课").ok());
        QCOMPARE(library->count(), 1);
        const QString file = m_dir.filePath("poem.txt");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(gbk::encode(QStringLiteral("床前明月光")).bytes);
        out.close();
        QVERIFY(m_window->importSetup(file, "静夜思").ok());
        QCOMPARE(library->count(), 2);
        QCOMPARE(library->currentText(), QStringLiteral("静夜思"));
        QVERIFY(m_window->loadSetup("早课").ok());
        QVERIFY(m_window->applySetup());
        QCOMPARE(m_console->setup().text, QStringLiteral("春眠不觉晓"));
        QCOMPARE(m_console->setup().passSpeed, 55);
        QCOMPARE(m_console->store().savedSetup("静夜思")->setup.text, QStringLiteral("床前明月光"));
        QVERIFY(!m_window->loadSetup("没有").ok());
        m_window->resize(1280, 760);
        QTest::qWait(50);
        shot(*m_window, "console-setup-library");
    }
};

CLIENT_TEST(HistoryWindowTest)
#include "tst_historywindow.moc"
