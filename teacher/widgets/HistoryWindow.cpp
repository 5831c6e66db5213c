// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "teacher/widgets/HistoryWindow.h"

#include "server/ClassConsole.h"
#include "teacher/widgets/TrendView.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QDate kNoBound(2000, 1, 1);

QTableWidget *table(const QStringList &header)
{
    auto *widget = new QTableWidget(0, int(header.size()));
    widget->setHorizontalHeaderLabels(header);
    widget->setEditTriggers(QAbstractItemView::NoEditTriggers);
    widget->setSelectionBehavior(QAbstractItemView::SelectRows);
    widget->setSelectionMode(QAbstractItemView::SingleSelection);
    widget->verticalHeader()->setVisible(false);
    widget->verticalHeader()->setDefaultSectionSize(widget->fontMetrics().height() + 6);
    widget->horizontalHeader()->setStretchLastSection(true);
    return widget;
}

// A report table's rows into a table widget, numbers right-aligned.
void fill(QTableWidget *widget, const reports::Table &rows)
{
    widget->setRowCount(int(rows.rows.size()));
    for (int r = 0; r < rows.rows.size(); ++r)
        for (int c = 0; c < rows.rows.at(r).size() && c < widget->columnCount(); ++c) {
            const QVariant &value = rows.rows.at(r).at(c);
            const bool numeric = value.typeId() == QMetaType::Int ||
                                 value.typeId() == QMetaType::LongLong ||
                                 value.typeId() == QMetaType::Double;
            auto *item = new QTableWidgetItem(value.typeId() == QMetaType::Double
                                                  ? QString::number(value.toDouble(), 'f', 1)
                                                  : value.toString());
            if (numeric)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            widget->setItem(r, c, item);
        }
    widget->resizeColumnsToContents();
}

} // namespace

HistoryWindow::HistoryWindow(ClassConsole &console, QWidget *parent)
    : QDialog(parent)
    , m_console(console)
{
    setWindowTitle(QStringLiteral("历史与报告"));
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    m_source = new QComboBox;
    m_source->addItem(QStringLiteral("本机结果库"));
    if (console.hasSchoolDatabase())
        m_source->addItem(QStringLiteral("学校数据库（全校）"));
    m_classes = new QComboBox;
    m_classes->setMinimumContentsLength(8);
    m_from = new QDateEdit;
    m_to = new QDateEdit;
    for (QDateEdit *edit : {m_from, m_to}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        edit->setMinimumDate(kNoBound);
        edit->setSpecialValueText(QStringLiteral("不限"));
        edit->setDate(kNoBound);
    }
    top->addWidget(new QLabel(QStringLiteral("来源")));
    top->addWidget(m_source);
    top->addWidget(new QLabel(QStringLiteral("班级")));
    top->addWidget(m_classes);
    top->addWidget(new QLabel(QStringLiteral("从")));
    top->addWidget(m_from);
    top->addWidget(new QLabel(QStringLiteral("到")));
    top->addWidget(m_to);
    top->addStretch(1);
    layout->addLayout(top);
    m_tabs = new QTabWidget;
    m_tabs->addTab(buildClassView(), QStringLiteral("全班"));
    m_tabs->addTab(buildStudentView(), QStringLiteral("学生"));
    layout->addWidget(m_tabs, 1);
    m_status = new QLabel;
    m_status->setTextFormat(Qt::PlainText);
    layout->addWidget(m_status);

    connect(m_source, &QComboBox::currentIndexChanged, this, [this] { reload(); });
    connect(m_classes, &QComboBox::currentIndexChanged, this, [this] { fillClass(); });
    connect(m_from, &QDateEdit::dateChanged, this, [this] { fillClass(); });
    connect(m_to, &QDateEdit::dateChanged, this, [this] { fillClass(); });
    resize(1100, 720);
    reload();
}

QWidget *HistoryWindow::buildClassView()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    m_classChart = new TrendView;
    m_tests = table({QStringLiteral("日期"), QStringLiteral("测试"), QStringLiteral("限时"),
                     QStringLiteral("及格线"), QStringLiteral("参加"), QStringLiteral("缺考"),
                     QStringLiteral("合格"), QStringLiteral("平均速度"), QStringLiteral("中位速度"),
                     QStringLiteral("平均正确率"), QStringLiteral("中位正确率")});
    m_improved = table({QStringLiteral("学号"), QStringLiteral("姓名"), QStringLiteral("次数"),
                        QStringLiteral("第一次"), QStringLiteral("最近"), QStringLiteral("变化")});
    auto *lower = new QSplitter(Qt::Horizontal);
    lower->addWidget(m_tests);
    auto *improvedBox = new QWidget;
    auto *improvedLayout = new QVBoxLayout(improvedBox);
    improvedLayout->setContentsMargins(0, 0, 0, 0);
    improvedLayout->addWidget(new QLabel(QStringLiteral("进步最大（第一次与最近一次相比）")));
    improvedLayout->addWidget(m_improved);
    lower->addWidget(improvedBox);
    lower->setStretchFactor(0, 3);
    lower->setStretchFactor(1, 1);
    auto *split = new QSplitter(Qt::Vertical);
    split->addWidget(m_classChart);
    split->addWidget(lower);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    layout->addWidget(split, 1);
    auto *buttons = new QHBoxLayout;
    const auto button = [&](const QString &caption, auto slot) {
        auto *b = new QPushButton(caption);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
    };
    button(QStringLiteral("导出学期报告…"), [this] { exportReport(reports::Subject::Term); });
    button(QStringLiteral("打印学期报告…"), [this] { print(reports::Subject::Term); });
    buttons->addSpacing(20);
    button(QStringLiteral("导出所选测试的报告…"), [this] { exportReport(reports::Subject::Test); });
    button(QStringLiteral("打印所选测试的报告…"), [this] { print(reports::Subject::Test); });
    buttons->addStretch(1);
    layout->addLayout(buttons);
    connect(m_improved, &QTableWidget::cellDoubleClicked, this, [this](int row) {
        if (QTableWidgetItem *item = m_improved->item(row, 0))
            showStudent(item->text());
    });
    return page;
}

QWidget *HistoryWindow::buildStudentView()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *pick = new QHBoxLayout;
    m_students = new QComboBox;
    m_students->setEditable(true);
    m_students->setMinimumContentsLength(16);
    pick->addWidget(new QLabel(QStringLiteral("学生（学号）")));
    pick->addWidget(m_students);
    pick->addStretch(1);
    layout->addLayout(pick);
    auto *charts = new QHBoxLayout;
    m_speedChart = new TrendView;
    m_accuracyChart = new TrendView;
    charts->addWidget(m_speedChart);
    charts->addWidget(m_accuracyChart);
    layout->addLayout(charts, 2);
    m_results = table({QStringLiteral("日期"), QStringLiteral("测试"), QStringLiteral("班级"),
                       QStringLiteral("用时(秒)"), QStringLiteral("速度"), QStringLiteral("正确率"),
                       QStringLiteral("及格线"), QStringLiteral("错字"), QStringLiteral("等级")});
    layout->addWidget(m_results, 2);
    m_mistyped = new QLabel;
    m_mistyped->setWordWrap(true);
    m_mistyped->setTextFormat(Qt::PlainText);
    layout->addWidget(m_mistyped);
    auto *buttons = new QHBoxLayout;
    auto *save = new QPushButton(QStringLiteral("导出学生报告…"));
    auto *printButton = new QPushButton(QStringLiteral("打印学生报告…"));
    buttons->addWidget(save);
    buttons->addWidget(printButton);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    connect(save, &QPushButton::clicked, this, [this] { exportReport(reports::Subject::Student); });
    connect(printButton, &QPushButton::clicked, this, [this] { print(reports::Subject::Student); });
    connect(m_students, &QComboBox::activated, this, [this] { fillStudent(); });
    connect(m_students->lineEdit(), &QLineEdit::returnPressed, this, [this] { fillStudent(); });
    return page;
}

bool HistoryWindow::openHistory()
{
    QString error;
    QSqlDatabase db = m_console.historyDatabase(m_source->currentIndex() == 1, &error);
    if (!db.isValid()) {
        m_history.reset();
        say(error);
        return false;
    }
    m_history.emplace(db);
    return true;
}

void HistoryWindow::reload()
{
    if (!openHistory())
        return;
    const QString current = m_classes->currentData().toString();
    const QSignalBlocker block(m_classes);
    m_classes->clear();
    m_classes->addItem(QStringLiteral("全部班级"), QString());
    for (const QString &banji : m_history->classes())
        if (!banji.isEmpty())
            m_classes->addItem(banji, banji);
    const int at = m_classes->findData(current);
    // The console's own class first.
    const int own = m_classes->findData(m_console.className());
    m_classes->setCurrentIndex(at > 0 ? at : (own > 0 ? own : (m_classes->count() > 1 ? 1 : 0)));
    fillClass();
}

void HistoryWindow::showClass(const QString &banji)
{
    const int at = m_classes->findData(banji);
    m_classes->setCurrentIndex(std::max(0, at));
    fillClass();
    m_tabs->setCurrentIndex(0);
}

void HistoryWindow::showStudent(const QString &xuehao)
{
    m_students->setEditText(xuehao);
    fillStudent();
    m_tabs->setCurrentIndex(1);
}

qint64 HistoryWindow::from() const
{
    return m_from->date() == kNoBound ? 0 : m_from->date().startOfDay().toMSecsSinceEpoch();
}

qint64 HistoryWindow::to() const
{
    return m_to->date() == kNoBound ? 0 : m_to->date().addDays(1).startOfDay().toMSecsSinceEpoch();
}

void HistoryWindow::fillClass()
{
    if (!m_history)
        return;
    m_class = m_history->classHistory(m_classes->currentData().toString(), from(), to());
    if (!m_history->lastError().isEmpty()) {
        say(m_history->lastError());
        return;
    }
    m_classChart->setChart(reports::classSpeedChart(m_class));
    reports::Table tests = reports::termTable(m_class);
    for (QList<QVariant> &row : tests.rows)
        row[2] = row[2].toInt() > 0 ? QStringLiteral("%1分钟").arg(row[2].toInt())
                                    : QStringLiteral("不限");
    fill(m_tests, tests);
    reports::Table improved;
    for (const history::Progress &p : m_class.improved)
        improved.rows.append({p.xuehao, p.name, p.tests, p.first, p.last, p.change()});
    fill(m_improved, improved);
    // The class's students for the student view.
    const QString shown = m_students->currentText().section(u' ', 0, 0);
    const QSignalBlocker block(m_students);
    m_students->clear();
    QStringList seen;
    for (const auto &[number, name] : std::as_const(m_class.people))
        seen << number + u' ' + name;
    m_students->addItems(seen);
    m_students->setEditText(shown.isEmpty() && !seen.isEmpty() ? seen.first() : shown);
    say(QStringLiteral("%1次测试，%2名学生%3")
            .arg(m_class.tests.size())
            .arg(m_class.students)
            .arg(m_source->currentIndex() == 1 ? QStringLiteral("（学校数据库）")
                                               : QStringLiteral("（本机）")));
    fillStudent();
}

void HistoryWindow::fillStudent()
{
    if (!m_history)
        return;
    const QString number = m_students->currentText().section(u' ', 0, 0).trimmed();
    m_student = number.isEmpty() ? history::Student{} : m_history->student(number, from(), to());
    m_speedChart->setChart(reports::studentSpeedChart(m_student));
    m_accuracyChart->setChart(reports::studentAccuracyChart(m_student));
    fill(m_results, reports::studentTable(m_student));
    const QStringList lines = reports::studentPreamble(m_student);
    m_mistyped->setText(m_student.results.isEmpty() ? QStringLiteral("没有这个学号的成绩")
                                                    : lines.join(QStringLiteral("\n")));
}

QString HistoryWindow::key(reports::Subject subject) const
{
    switch (subject) {
    case reports::Subject::Test: {
        const int row = m_tests->currentRow();
        return row >= 0 && row < m_class.tests.size()
                   ? QString::number(m_class.tests.at(row).test.id)
                   : QString();
    }
    case reports::Subject::Term:
        return m_classes->currentData().toString();
    case reports::Subject::Student:
        return m_student.xuehao;
    }
    return {};
}

Status HistoryWindow::exportTo(reports::Subject subject, const QString &path)
{
    if (!m_history)
        return Status::failure(QStringLiteral("没有可读的结果库"));
    const QString what = key(subject);
    if (subject == reports::Subject::Test && what.isEmpty())
        return Status::failure(QStringLiteral("请先在表中选一次测试"));
    return reports::exportReport(*m_history, subject, what, path, from(), to());
}

Status HistoryWindow::printTo(QPagedPaintDevice &printer, reports::Subject subject)
{
    if (!m_history)
        return Status::failure(QStringLiteral("没有可读的结果库"));
    QPainter painter;
    switch (subject) {
    case reports::Subject::Test: {
        QList<history::Result> results;
        const QString what = key(subject);
        const auto entry =
            what.isEmpty() ? std::nullopt : m_history->test(what.toLongLong(), &results);
        if (!entry)
            return Status::failure(QStringLiteral("请先在表中选一次测试"));
        if (!painter.begin(&printer))
            return Status::failure(QStringLiteral("打印机不可用"));
        reports::paintTestReport(printer, painter, *entry, results);
        break;
    }
    case reports::Subject::Term:
        if (!painter.begin(&printer))
            return Status::failure(QStringLiteral("打印机不可用"));
        reports::paintTermReport(printer, painter, m_class);
        break;
    case reports::Subject::Student:
        if (m_student.results.isEmpty())
            return Status::failure(QStringLiteral("没有这个学生的成绩"));
        if (!painter.begin(&printer))
            return Status::failure(QStringLiteral("打印机不可用"));
        reports::paintStudentReport(printer, painter, m_student);
        break;
    }
    painter.end();
    return Status::success();
}

void HistoryWindow::exportReport(reports::Subject subject)
{
    QString filter;
    QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("保存报告"), QString(),
        QStringLiteral("Excel 工作簿 (*.xlsx);;CSV 文件 (*.csv);;PDF 文件 (*.pdf)"), &filter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += filter.contains(u"xlsx")
                    ? QStringLiteral(".xlsx")
                    : (filter.contains(u"csv") ? QStringLiteral(".csv") : QStringLiteral(".pdf"));
    const Status status = exportTo(subject, path);
    say(status.ok() ? QStringLiteral("报告已保存：") + path : status.error);
}

void HistoryWindow::print(reports::Subject subject)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const Status status = printTo(printer, subject);
    say(status.ok() ? QStringLiteral("报告已送去打印") : status.error);
}

void HistoryWindow::say(const QString &text)
{
    m_status->setText(text);
}
