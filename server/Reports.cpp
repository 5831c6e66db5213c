// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/Reports.h"

#include "core/Figures.h"
#include "server/ResultsCsv.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>

#include <xlsxwriter.h>

#include <cmath>
#include <functional>

namespace reports {

namespace {

QString dateText(qint64 ms)
{
    return ms > 0 ? QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                  : QString();
}

// A figure rounded as shown: whole numbers stay integers, the rest keep their decimals.
QVariant number(const std::optional<double> &value, int decimals)
{
    if (!value)
        return {};
    if (decimals == 0)
        return qlonglong(std::llround(*value));
    const double scale = std::pow(10.0, decimals);
    return std::round(*value * scale) / scale;
}

QString kindText(TestSetup::Kind kind)
{
    switch (kind) {
    case TestSetup::Kind::Plain:
        return QStringLiteral("普通文本");
    case TestSetup::Kind::Words:
        return QStringLiteral("词组文本");
    case TestSetup::Kind::RootPractice:
        return QStringLiteral("字根练习");
    }
    return {};
}

QString cellString(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    if (value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'f', 1);
    return value.toString();
}

} // namespace

QString testLabel(const StoredTest &test)
{
    QString label =
        QDateTime::fromMSecsSinceEpoch(test.startedAt).toString(QStringLiteral("yyyy-MM-dd"));
    if (!test.name.isEmpty())
        label += u' ' + test.name;
    return label;
}

Table testTable(const history::TestEntry &entry, const QList<history::Result> &results)
{
    Table table;
    table.title = QStringLiteral("成绩");
    table.header = {
        QStringLiteral("学号"),        QStringLiteral("姓名"),      QStringLiteral("班级"),
        QStringLiteral("用时(秒)"),    QStringLiteral("已输入"),    QStringLiteral("正确"),
        QStringLiteral("速度(字/分)"), QStringLiteral("正确率(%)"), QStringLiteral("错字"),
        QStringLiteral("标记"),        QStringLiteral("等级")};
    Q_UNUSED(entry);
    for (const history::Result &result : results) {
        const StudentRow &row = result.row;
        const protocol::Report *figures = row.figures();
        table.rows.append({row.xuehao, row.name, row.banji,
                           figures ? QVariant(figures->totalTime) : QVariant(),
                           figures ? QVariant(figures->inputCount) : QVariant(),
                           figures ? QVariant(figures->right) : QVariant(), number(row.speed(), 1),
                           number(row.accuracy(), 0), row.errChars(),
                           StudentRow::flagsText(row.flags), grades::text(result.grade)});
    }
    return table;
}

Table studentTable(const history::Student &student)
{
    Table table;
    table.title = QStringLiteral("历次成绩");
    table.header = {
        QStringLiteral("日期"),     QStringLiteral("测试"),        QStringLiteral("班级"),
        QStringLiteral("用时(秒)"), QStringLiteral("速度(字/分)"), QStringLiteral("正确率(%)"),
        QStringLiteral("及格线"),   QStringLiteral("错字"),        QStringLiteral("等级")};
    for (const history::Result &result : student.results) {
        const protocol::Report *figures = result.row.figures();
        table.rows.append(
            {dateText(result.test.startedAt), result.test.name, result.row.banji,
             figures ? QVariant(figures->totalTime) : QVariant(), number(result.speed(), 1),
             number(result.accuracy(), 0),
             grades::passMarkText(result.test.setup.passSpeed, result.test.setup.passAccuracy),
             result.row.errChars(), grades::text(result.grade)});
    }
    return table;
}

Table termTable(const history::Class &history)
{
    Table table;
    table.title = QStringLiteral("学期");
    table.header = {
        QStringLiteral("日期"),       QStringLiteral("测试"),      QStringLiteral("限时(分)"),
        QStringLiteral("及格线"),     QStringLiteral("参加"),      QStringLiteral("缺考"),
        QStringLiteral("合格"),       QStringLiteral("平均速度"),  QStringLiteral("中位速度"),
        QStringLiteral("平均正确率"), QStringLiteral("中位正确率")};
    for (const history::TestEntry &entry : history.tests) {
        const ClassSummary &s = entry.summary;
        table.rows.append(
            {dateText(entry.test.startedAt), entry.test.name, entry.test.setup.timeLimit,
             grades::passMarkText(entry.test.setup.passSpeed, entry.test.setup.passAccuracy),
             s.students, s.absent, entry.passed, number(s.meanSpeed, 1), number(s.medianSpeed, 1),
             number(s.meanAccuracy, 1), number(s.medianAccuracy, 1)});
    }
    return table;
}

QStringList testPreamble(const history::TestEntry &entry)
{
    const StoredTest &test = entry.test;
    const TestSetup &s = test.setup;
    QStringList lines = {
        QStringLiteral("测试：%1")
            .arg(test.name.isEmpty() ? QStringLiteral("（未命名）") : test.name),
        QStringLiteral("班级：%1").arg(test.banji.isEmpty() ? QStringLiteral("-") : test.banji),
        QStringLiteral("时间：%1 至 %2")
            .arg(dateText(test.startedAt),
                 test.endedAt > 0 ? dateText(test.endedAt) : QStringLiteral("（进行中）")),
        QStringLiteral("类型：%1，%2，输入法：%3，提示延迟%4秒%5%6")
            .arg(kindText(s.kind),
                 s.timeLimit > 0 ? QStringLiteral("限时%1分钟").arg(s.timeLimit)
                                 : QStringLiteral("不限时"),
                 s.inputMethodRule)
            .arg(s.hintDelay)
            .arg(s.rootsAllowed ? QStringLiteral("，允许字根表") : QString(),
                 s.hintsAllowed ? QStringLiteral("，允许编码提示") : QString()),
        QStringLiteral("及格线：%1").arg(grades::passMarkText(s.passSpeed, s.passAccuracy)),
        QStringLiteral("合格：%1人（共%2人有成绩）").arg(entry.passed).arg(entry.graded),
        QStringLiteral("全班：%1").arg(entry.summary.text())};
    if (!s.forbidden.isEmpty())
        lines.insert(4, QStringLiteral("禁止程序：%1").arg(s.forbidden));
    if (!s.text.isEmpty() && s.kind != TestSetup::Kind::RootPractice)
        lines.insert(
            4, QStringLiteral("文本：%1%2（%3字）")
                   .arg(s.text.left(40), s.text.size() > 40 ? QStringLiteral("……") : QString())
                   .arg(s.text.size()));
    return lines;
}

QStringList studentPreamble(const history::Student &student)
{
    QStringList lines = {QStringLiteral("学号：%1　姓名：%2　班级：%3")
                             .arg(student.xuehao, student.name,
                                  student.banji.isEmpty() ? QStringLiteral("-") : student.banji),
                         QStringLiteral("测试%1次，合格%2次（%3次有成绩）")
                             .arg(student.results.size())
                             .arg(student.passed)
                             .arg(student.graded)};
    QStringList mistyped;
    for (const auto &[character, count] : student.mistyped.mid(0, 20))
        mistyped << QStringLiteral("「%1」%2次").arg(character).arg(count);
    lines << QStringLiteral("常错字：%1")
                 .arg(mistyped.isEmpty() ? QStringLiteral("-") : mistyped.join(u' '));
    return lines;
}

QStringList termPreamble(const history::Class &history)
{
    QStringList lines = {
        QStringLiteral("班级：%1")
            .arg(history.banji.isEmpty() ? QStringLiteral("全部") : history.banji),
        QStringLiteral("测试%1次，学生%2人").arg(history.tests.size()).arg(history.students)};
    if (!history.tests.isEmpty())
        lines << QStringLiteral("时间：%1 至 %2")
                     .arg(dateText(history.tests.first().test.startedAt),
                          dateText(history.tests.last().test.startedAt));
    QStringList best;
    for (const history::Progress &p : history.improved.mid(0, 5))
        best << QStringLiteral("%1 %2（%3→%4，%5%6）")
                    .arg(p.xuehao, p.name, QString::number(p.first, 'f', 1),
                         QString::number(p.last, 'f', 1),
                         p.change() >= 0 ? QStringLiteral("+") : QString(),
                         QString::number(p.change(), 'f', 1));
    lines << QStringLiteral("进步最大：%1")
                 .arg(best.isEmpty() ? QStringLiteral("-") : best.join(QStringLiteral("；")));
    return lines;
}

QByteArray csv(const Table &table, const QStringList &preamble)
{
    QString text;
    for (const QString &line : preamble)
        text += resultscsv::field(line) + QStringLiteral("\r\n");
    if (!preamble.isEmpty())
        text += QStringLiteral("\r\n");
    QStringList header;
    for (const QString &title : table.header)
        header << resultscsv::field(title);
    text += header.join(u',') + QStringLiteral("\r\n");
    for (const QList<QVariant> &row : table.rows) {
        QStringList fields;
        for (const QVariant &value : row)
            fields << resultscsv::field(cellString(value));
        text += fields.join(u',') + QStringLiteral("\r\n");
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

namespace {

Status writeFile(const QString &path, const QByteArray &bytes)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return Status::failure(QStringLiteral("无法建立文件夹 %1").arg(info.absolutePath()));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return Status::failure(QStringLiteral("无法写入 %1：%2").arg(path, file.errorString()));
    return Status::success();
}

} // namespace

Status writeCsv(const QString &path, const Table &table, const QStringList &preamble)
{
    return writeFile(path, csv(table, preamble));
}

Status writeXlsx(const QString &path, const QList<Table> &tables,
                 const QList<QStringList> &preambles)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return Status::failure(QStringLiteral("无法建立文件夹 %1").arg(info.absolutePath()));
    // Written beside the file and moved over it: a file is whole or not there.
    const QString partial = path + QStringLiteral(".part");
    const QByteArray file = QFile::encodeName(partial);
    lxw_workbook *workbook = workbook_new(file.constData());
    if (!workbook)
        return Status::failure(QStringLiteral("无法写入 %1").arg(path));
    lxw_format *bold = workbook_add_format(workbook);
    format_set_bold(bold);
    QStringList used;
    for (qsizetype t = 0; t < tables.size(); ++t) {
        const Table &table = tables.at(t);
        // A sheet's name: at most 31 characters, none of []:*?/\, each used once.
        QString name = table.title;
        name.remove(QRegularExpression(QStringLiteral("[\\[\\]:*?/\\\\]")));
        name = name.left(28);
        if (name.isEmpty() || used.contains(name))
            name += QString::number(t + 1);
        used << name;
        lxw_worksheet *sheet = workbook_add_worksheet(workbook, name.toUtf8().constData());
        lxw_row_t row = 0;
        for (const QString &line : preambles.value(t))
            worksheet_write_string(sheet, row++, 0, line.toUtf8().constData(), nullptr);
        if (row > 0)
            ++row;
        for (qsizetype c = 0; c < table.header.size(); ++c) {
            worksheet_write_string(sheet, row, lxw_col_t(c),
                                   table.header.at(c).toUtf8().constData(), bold);
            worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c),
                                 std::max(8.0, table.header.at(c).size() * 2.2), nullptr);
        }
        ++row;
        for (const QList<QVariant> &cells : table.rows) {
            for (qsizetype c = 0; c < cells.size(); ++c) {
                const QVariant &value = cells.at(c);
                if (!value.isValid() || value.isNull())
                    continue;
                const int type = value.typeId();
                if (type == QMetaType::Int || type == QMetaType::Double ||
                    type == QMetaType::LongLong)
                    worksheet_write_number(sheet, row, lxw_col_t(c), value.toDouble(), nullptr);
                else
                    worksheet_write_string(sheet, row, lxw_col_t(c),
                                           value.toString().toUtf8().constData(), nullptr);
            }
            ++row;
        }
    }
    const lxw_error error = workbook_close(workbook);
    if (error != LXW_NO_ERROR) {
        QFile::remove(partial);
        return Status::failure(
            QStringLiteral("无法写入 %1：%2").arg(path, QString::fromUtf8(lxw_strerror(error))));
    }
    QFile::remove(path);
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        return Status::failure(QStringLiteral("无法写入 %1").arg(path));
    }
    return Status::success();
}

QString reportFontFamily()
{
    // Noto Sans CJK (fonts-noto-cjk) has every character a Chinese name takes.
    for (const QString &family :
         {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC"),
          QStringLiteral("WenQuanYi Zen Hei")})
        if (QFontDatabase::hasFamily(family))
            return family;
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

trendchart::Chart studentSpeedChart(const history::Student &student)
{
    trendchart::Chart chart;
    chart.title = QStringLiteral("速度");
    chart.unit = QStringLiteral("字/分");
    trendchart::Series speed{QStringLiteral("速度"), QColor(0x2A, 0x6F, 0xC9), {}};
    std::optional<double> mark;
    for (const history::Result &result : student.results) {
        chart.labels << QDateTime::fromMSecsSinceEpoch(result.test.startedAt)
                            .toString(QStringLiteral("MM-dd"));
        const bool graded =
            result.grade == grades::Grade::Pass || result.grade == grades::Grade::Fail;
        speed.values << (graded ? result.speed() : std::nullopt);
        mark = result.test.setup.passSpeed;
    }
    chart.series << speed;
    chart.mark = mark;
    chart.markName = mark ? QStringLiteral("及格线（最近一次）") : QString();
    chart.floor = 0;
    return chart;
}

trendchart::Chart studentAccuracyChart(const history::Student &student)
{
    trendchart::Chart chart;
    chart.title = QStringLiteral("正确率");
    chart.unit = QStringLiteral("%");
    trendchart::Series accuracy{QStringLiteral("正确率"), QColor(0x3C, 0x9A, 0x4A), {}};
    std::optional<double> mark;
    double lowest = 100;
    for (const history::Result &result : student.results) {
        chart.labels << QDateTime::fromMSecsSinceEpoch(result.test.startedAt)
                            .toString(QStringLiteral("MM-dd"));
        const bool graded =
            result.grade == grades::Grade::Pass || result.grade == grades::Grade::Fail;
        const std::optional<double> value = graded ? result.accuracy() : std::nullopt;
        accuracy.values << value;
        if (value)
            lowest = std::min(lowest, *value);
        mark = result.test.setup.passAccuracy;
    }
    chart.series << accuracy;
    chart.mark = mark;
    chart.markName = mark ? QStringLiteral("及格线（最近一次）") : QString();
    chart.ceiling = 100;
    chart.floor = std::min(lowest, mark.value_or(100.0)) >= 80 ? 80.0 : 0.0;
    return chart;
}

trendchart::Chart classSpeedChart(const history::Class &history)
{
    trendchart::Chart chart;
    chart.title = QStringLiteral("全班速度");
    chart.unit = QStringLiteral("字/分");
    trendchart::Series mean{QStringLiteral("平均"), QColor(0x2A, 0x6F, 0xC9), {}};
    trendchart::Series median{QStringLiteral("中位"), QColor(0xE0, 0x8A, 0x1E), {}};
    for (const history::TestEntry &entry : history.tests) {
        chart.labels << QDateTime::fromMSecsSinceEpoch(entry.test.startedAt)
                            .toString(QStringLiteral("MM-dd"));
        mean.values << entry.summary.meanSpeed;
        median.values << entry.summary.medianSpeed;
    }
    chart.series << mean << median;
    if (!history.tests.isEmpty()) {
        chart.mark = history.tests.last().test.setup.passSpeed;
        chart.markName = QStringLiteral("及格线（最近一次）");
    }
    chart.floor = 0;
    return chart;
}

namespace {

// Lays out a report from the top of a page down, starting new pages as it goes.
class Pages
{
public:
    Pages(QPagedPaintDevice &device, QPainter &painter)
        : m_device(device)
        , m_painter(painter)
    {
        m_font = QFont(reportFontFamily());
        m_font.setPointSizeF(9.5);
        m_painter.setFont(m_font);
        m_painter.setPen(Qt::black);
        m_line = QFontMetricsF(m_font, &device).height() * 1.25;
        m_width = device.width();
        m_height = device.height();
    }
    double line() const { return m_line; }
    double width() const { return m_width; }
    double y() const { return m_y; }
    void advance(double height) { m_y += height; }
    // Room for `height` more on this page, or a new page.
    bool ensure(double height)
    {
        if (m_y + height <= m_height - m_line * 1.5)
            return false;
        newPage();
        return true;
    }
    void newPage()
    {
        footer();
        m_device.newPage();
        ++m_page;
        m_y = 0;
    }
    void finish() { footer(); }
    void title(const QString &text)
    {
        QFont big = m_font;
        big.setPointSizeF(15);
        big.setBold(true);
        m_painter.setFont(big);
        const double height = QFontMetricsF(big, &m_device).height() * 1.4;
        m_painter.drawText(QRectF(0, m_y, m_width, height), Qt::AlignLeft | Qt::AlignVCenter, text);
        m_painter.setFont(m_font);
        m_y += height + m_line * 0.3;
    }
    void text(const QString &text)
    {
        const QRectF bounds =
            m_painter.boundingRect(QRectF(0, 0, m_width, 1e6), Qt::TextWordWrap, text);
        ensure(bounds.height());
        m_painter.drawText(QRectF(0, m_y, m_width, bounds.height()), Qt::TextWordWrap, text);
        m_y += bounds.height() + m_line * 0.15;
    }
    void chart(const trendchart::Chart &chart, double height)
    {
        ensure(height);
        trendchart::draw(m_painter, QRectF(0, m_y, m_width, height), chart);
        m_y += height + m_line * 0.5;
    }
    void table(const Table &table)
    {
        const int columns = int(table.header.size());
        if (columns == 0)
            return;
        // A table of many columns in a smaller type, so that its texts fit.
        const QFont bodyFont = m_font;
        if (columns >= 10)
            m_font.setPointSizeF(bodyFont.pointSizeF() * 0.85);
        const QFontMetricsF metrics(m_font, &m_device);
        // Each column as wide as its widest text, then all scaled to the page.
        QList<double> widths(columns, 0);
        for (int c = 0; c < columns; ++c)
            widths[c] = metrics.horizontalAdvance(table.header.at(c)) + m_line * 0.6;
        for (const QList<QVariant> &row : table.rows)
            for (int c = 0; c < columns && c < row.size(); ++c)
                widths[c] =
                    std::max(widths[c], std::min(metrics.horizontalAdvance(cellString(row.at(c))) +
                                                     m_line * 0.6,
                                                 m_width / 3));
        // Too wide for the page: the widest columns give way first (each capped at one
        // width, found by halving), the narrow ones keep their room; room to spare is shared.
        double total = 0;
        for (double w : widths)
            total += w;
        if (total > m_width) {
            double low = 0;
            double high = m_width;
            for (int step = 0; step < 40; ++step) {
                const double cap = (low + high) / 2;
                double sum = 0;
                for (double w : widths)
                    sum += std::min(w, cap);
                (sum > m_width ? high : low) = cap;
            }
            for (double &w : widths)
                w = std::min(w, low);
            total = 0;
            for (double w : widths)
                total += w;
        }
        for (double &w : widths)
            w *= m_width / total;
        const auto rowOf = [&](const QStringList &cells, bool header, bool shade) {
            if (shade || header)
                m_painter.fillRect(QRectF(0, m_y, m_width, m_line),
                                   header ? QColor(0xDD, 0xE6, 0xF3) : QColor(0xF4, 0xF4, 0xF4));
            double x = 0;
            QFont font = m_font;
            font.setBold(header);
            m_painter.setFont(font);
            for (int c = 0; c < columns; ++c) {
                const QRectF cell(x + m_line * 0.2, m_y, widths.at(c) - m_line * 0.4, m_line);
                m_painter.drawText(
                    cell, Qt::AlignLeft | Qt::AlignVCenter,
                    metrics.elidedText(cells.value(c), Qt::ElideRight, cell.width()));
                x += widths.at(c);
            }
            m_painter.setFont(m_font);
            m_y += m_line;
        };
        ensure(m_line * 2);
        rowOf(table.header, true, false);
        int index = 0;
        for (const QList<QVariant> &row : table.rows) {
            if (ensure(m_line))
                rowOf(table.header, true, false); // the header again on a new page
            QStringList cells;
            for (const QVariant &value : row)
                cells << cellString(value);
            rowOf(cells, false, index++ % 2 == 1);
        }
        m_font = bodyFont;
        m_painter.setFont(m_font);
        m_y += m_line * 0.5;
    }

private:
    void footer()
    {
        m_painter.drawText(QRectF(0, m_height - m_line, m_width, m_line), Qt::AlignCenter,
                           QStringLiteral("第 %1 页").arg(m_page));
    }

    QPagedPaintDevice &m_device;
    QPainter &m_painter;
    QFont m_font;
    double m_line = 0;
    double m_width = 0;
    double m_height = 0;
    double m_y = 0;
    int m_page = 1;
};

QString printedOn()
{
    return QStringLiteral("打印于 %1")
        .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}

template <typename Paint> Status writePdf(const QString &path, const QString &title, Paint paint)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return Status::failure(QStringLiteral("无法建立文件夹 %1").arg(info.absolutePath()));
    const QString partial = path + QStringLiteral(".part");
    {
        QPdfWriter writer(partial);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("chengling-teacher"));
        writer.setResolution(300);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        QPainter painter;
        if (!painter.begin(&writer))
            return Status::failure(QStringLiteral("无法写入 %1").arg(path));
        paint(writer, painter);
        painter.end();
    }
    QFile::remove(path);
    if (!QFileInfo(partial).size() || !QFile::rename(partial, path)) {
        QFile::remove(partial);
        return Status::failure(QStringLiteral("无法写入 %1").arg(path));
    }
    return Status::success();
}

} // namespace

void paintTestReport(QPagedPaintDevice &device, QPainter &painter, const history::TestEntry &entry,
                     const QList<history::Result> &results)
{
    Pages pages(device, painter);
    pages.title(QStringLiteral("测试成绩报告"));
    for (const QString &line : testPreamble(entry))
        pages.text(line);
    pages.text(printedOn());
    pages.advance(pages.line() * 0.5);
    pages.table(testTable(entry, results));
    pages.finish();
}

void paintStudentReport(QPagedPaintDevice &device, QPainter &painter,
                        const history::Student &student)
{
    Pages pages(device, painter);
    pages.title(QStringLiteral("学生成绩报告：%1 %2").arg(student.xuehao, student.name));
    for (const QString &line : studentPreamble(student))
        pages.text(line);
    pages.text(printedOn());
    pages.advance(pages.line() * 0.5);
    pages.chart(studentSpeedChart(student), pages.line() * 13);
    pages.chart(studentAccuracyChart(student), pages.line() * 11);
    pages.table(studentTable(student));
    pages.finish();
}

void paintTermReport(QPagedPaintDevice &device, QPainter &painter, const history::Class &history)
{
    Pages pages(device, painter);
    pages.title(QStringLiteral("班级学期报告"));
    for (const QString &line : termPreamble(history))
        pages.text(line);
    pages.text(printedOn());
    pages.advance(pages.line() * 0.5);
    pages.chart(classSpeedChart(history), pages.line() * 14);
    pages.table(termTable(history));
    Table improved;
    improved.header = {QStringLiteral("学号"),     QStringLiteral("姓名"),
                       QStringLiteral("测试次数"), QStringLiteral("第一次速度"),
                       QStringLiteral("最近速度"), QStringLiteral("变化")};
    for (const history::Progress &p : history.improved)
        improved.rows.append({p.xuehao, p.name, p.tests, number(p.first, 1), number(p.last, 1),
                              number(p.change(), 1)});
    if (!improved.rows.isEmpty()) {
        pages.text(QStringLiteral("进步（第一次与最近一次有成绩的测试相比）"));
        pages.table(improved);
    }
    pages.finish();
}

Status writeTestPdf(const QString &path, const history::TestEntry &entry,
                    const QList<history::Result> &results)
{
    return writePdf(path, QStringLiteral("测试成绩报告 ") + testLabel(entry.test),
                    [&](QPagedPaintDevice &device, QPainter &painter) {
                        paintTestReport(device, painter, entry, results);
                    });
}

Status writeStudentPdf(const QString &path, const history::Student &student)
{
    return writePdf(path, QStringLiteral("学生成绩报告 %1 %2").arg(student.xuehao, student.name),
                    [&](QPagedPaintDevice &device, QPainter &painter) {
                        paintStudentReport(device, painter, student);
                    });
}

Status writeTermPdf(const QString &path, const history::Class &history)
{
    return writePdf(path, QStringLiteral("班级学期报告 %1").arg(history.banji),
                    [&](QPagedPaintDevice &device, QPainter &painter) {
                        paintTermReport(device, painter, history);
                    });
}

Status exportReport(history::History &history, Subject subject, const QString &key,
                    const QString &path, qint64 from, qint64 to)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != u"csv" && suffix != u"xlsx" && suffix != u"pdf")
        return Status::failure(
            QStringLiteral("报告文件应以 .csv、.xlsx 或 .pdf 结尾：%1").arg(path));
    const auto written = [&](const Table &table, const QStringList &preamble,
                             const std::function<Status()> &pdf) {
        if (suffix == u"csv")
            return writeCsv(path, table, preamble);
        if (suffix == u"xlsx")
            return writeXlsx(path, {table}, {preamble});
        return pdf();
    };
    switch (subject) {
    case Subject::Test: {
        bool ok = false;
        const qint64 id = key.toLongLong(&ok);
        QList<history::Result> results;
        const std::optional<history::TestEntry> entry =
            ok ? history.test(id, &results) : std::nullopt;
        if (!entry)
            return Status::failure(history.lastError().isEmpty()
                                       ? QStringLiteral("没有编号为“%1”的测试").arg(key)
                                       : history.lastError());
        return written(testTable(*entry, results), testPreamble(*entry),
                       [&] { return writeTestPdf(path, *entry, results); });
    }
    case Subject::Term: {
        const history::Class term = history.classHistory(key, from, to);
        if (!history.lastError().isEmpty())
            return Status::failure(history.lastError());
        if (term.tests.isEmpty())
            return Status::failure(QStringLiteral("班级“%1”没有测试").arg(key));
        return written(termTable(term), termPreamble(term),
                       [&] { return writeTermPdf(path, term); });
    }
    case Subject::Student: {
        const history::Student student = history.student(key, from, to);
        if (!history.lastError().isEmpty())
            return Status::failure(history.lastError());
        if (student.results.isEmpty())
            return Status::failure(QStringLiteral("学号“%1”没有成绩").arg(key));
        return written(studentTable(student), studentPreamble(student),
                       [&] { return writeStudentPdf(path, student); });
    }
    }
    return Status::failure(QStringLiteral("未知的报告"));
}

} // namespace reports
