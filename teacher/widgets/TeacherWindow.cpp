// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "teacher/widgets/TeacherWindow.h"

#include "server/ClassConsole.h"
#include "server/History.h"
#include "server/SortedRoster.h"
#include "server/TestServer.h"
#include "teacher/widgets/HistoryWindow.h"
#include "teacher/widgets/RosterDelegate.h"
#include "teacher/widgets/SpeedChart.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

TeacherWindow::TeacherWindow(ClassConsole &console, QWidget *parent)
    : QMainWindow(parent)
    , m_console(console)
{
    setWindowTitle(QStringLiteral("澄领打字测试 - 教师控制台"));

    m_sorted = new SortedRoster(console.roster(), this);
    m_table = new QTableView;
    m_table->setModel(m_sorted);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(ClassRoster::Number, Qt::AscendingOrder);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setItemDelegate(new RosterDelegate(m_table));
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setStretchLastSection(true);
    const int digit = m_table->fontMetrics().horizontalAdvance(u'0');
    const int widths[] = {5, 6, 5, 5, 11, 8, 7, 8, 5, 4, 4, 6, 10, 10, 16, 4, 5};
    for (int column = 0; column < ClassRoster::ColumnCount; ++column)
        m_table->setColumnWidth(column, widths[column] * digit + 12);
    // The grade is read with the speed and the accuracy, so it stands beside them on the screen
    // (the model keeps its order, which the command-line server prints).
    m_table->horizontalHeader()->moveSection(ClassRoster::Grade, ClassRoster::Accuracy + 1);

    m_chart = new SpeedChart;
    m_summary = new QLabel;
    m_summary->setWordWrap(true);
    m_summary->setTextFormat(Qt::PlainText);
    // Texts that change every second keep their room: the layout (and with it the chart and the
    // table) is not worked out again each time a line wraps differently.
    m_summary->setFixedHeight(m_summary->fontMetrics().lineSpacing() * 5 + 4);
    m_summary->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_log = new QPlainTextEdit;
    m_log->setReadOnly(true);
    m_log->setMaximumBlockCount(ClassConsole::kLogLines);

    m_countdown = new QLabel;
    m_countdown->setAlignment(Qt::AlignCenter);
    QFont big = m_countdown->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    m_countdown->setFont(big);
    m_countdown->setFixedHeight(QFontMetrics(big).lineSpacing() + 6);

    auto *right = new QWidget;
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(m_countdown);
    rightLayout->addWidget(m_chart, 3);
    auto *summaryBox = new QGroupBox(QStringLiteral("全班统计"));
    auto *summaryLayout = new QVBoxLayout(summaryBox);
    summaryLayout->addWidget(m_summary);
    rightLayout->addWidget(summaryBox);
    rightLayout->addWidget(buildMessages());

    // The class list with, under it, the line of who is connected and who has not started and
    // the teacher's decisions on a duplicate login.
    m_classLine = new QLabel;
    m_classLine->setWordWrap(true);
    m_classLine->setTextFormat(Qt::PlainText);
    m_classLine->setFixedHeight(m_classLine->fontMetrics().lineSpacing() * 2 + 4);
    m_classLine->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto *decisions = new QHBoxLayout;
    decisions->addWidget(new QLabel(QStringLiteral("重复登录：")));
    for (const QString &caption :
         {QStringLiteral("保留原来的"), QStringLiteral("保留新的"), QStringLiteral("合并为一人")}) {
        auto *button = new QPushButton(caption);
        const int decision = int(m_decisions.size());
        connect(button, &QPushButton::clicked, this, [this, decision] { decide(decision); });
        decisions->addWidget(button);
        m_decisions << button;
    }
    decisions->addStretch(1);
    auto *rosterButton = new QPushButton(QStringLiteral("导入名单…"));
    connect(rosterButton, &QPushButton::clicked, this, &TeacherWindow::importRoster);
    decisions->addWidget(rosterButton);
    auto *historyButton = new QPushButton(QStringLiteral("历史与报告…"));
    connect(historyButton, &QPushButton::clicked, this, [this] { openHistory(); });
    decisions->addWidget(historyButton);
    auto *middle = new QWidget;
    auto *middleLayout = new QVBoxLayout(middle);
    middleLayout->setContentsMargins(0, 0, 0, 0);
    middleLayout->addWidget(m_table, 1);
    middleLayout->addWidget(m_classLine);
    middleLayout->addLayout(decisions);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TeacherWindow::updateDecisionButtons);

    auto *top = new QSplitter(Qt::Horizontal);
    top->addWidget(buildSetup());
    top->addWidget(middle);
    top->addWidget(right);
    top->setStretchFactor(0, 0);
    top->setStretchFactor(1, 1);
    top->setStretchFactor(2, 0);
    top->setSizes({270, 770, 240});

    auto *vertical = new QSplitter(Qt::Vertical);
    vertical->addWidget(top);
    vertical->addWidget(m_log);
    vertical->setStretchFactor(0, 4);
    vertical->setStretchFactor(1, 1);
    vertical->setSizes({620, 120});
    setCentralWidget(vertical);

    m_status = new QLabel;
    statusBar()->addWidget(m_status, 1);

    connect(&console, &ClassConsole::logged, this,
            [this](int, const QString &line, bool) { m_log->appendPlainText(line); });
    for (const QString &line : console.log())
        m_log->appendPlainText(line);
    connect(&console, &ClassConsole::resultsFailed, this,
            [this](const QString &error) { report(QStringLiteral("结果未保存：") + error); });
    connect(&console, &ClassConsole::storeFailed, this,
            [this](const QString &error) { report(error); });
    connect(&console, &ClassConsole::testStarted, this, [this] { refresh(); });
    connect(&console, &ClassConsole::testEnded, this, [this] { refresh(); });
    connect(&m_refresh, &QTimer::timeout, this, &TeacherWindow::refresh);
    m_refresh.start(1000);
    showSetup(console.setup());
    refreshSetups();
    refresh();
    updateDecisionButtons();
    resize(1280, 760);
}

QList<int> TeacherWindow::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_table->selectionModel()->selectedRows())
        rows << m_sorted->mapToSource(index).row();
    return rows;
}

void TeacherWindow::updateDecisionButtons()
{
    const QList<int> rows = selectedRows();
    const bool duplicate = rows.size() == 1 && rows.first() < m_console.roster().size() &&
                           m_console.roster().at(rows.first()).duplicate();
    for (QPushButton *button : std::as_const(m_decisions))
        button->setEnabled(duplicate);
}

void TeacherWindow::decide(int decision)
{
    const QList<int> rows = selectedRows();
    if (rows.size() != 1)
        return;
    if (const Status status =
            m_console.decideDuplicate(rows.first(), ClassConsole::Decision(decision));
        !status.ok())
        report(status.error);
    updateDecisionButtons();
}

void TeacherWindow::importRoster()
{
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("导入名单"), QString(),
                                     QStringLiteral("名单 (*.csv *.txt);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    QStringList skipped;
    if (const Status status = m_console.importRoster(path, &skipped); !status.ok()) {
        report(status.error);
        return;
    }
    report(QStringLiteral("名单已导入：%1人%2")
               .arg(m_console.rosterEntries().size())
               .arg(skipped.isEmpty()
                        ? QString()
                        : QStringLiteral("，略过%1行（见日志）").arg(skipped.size())));
    for (const QString &line : std::as_const(skipped))
        m_log->appendPlainText(QStringLiteral("名单：") + line);
}

void TeacherWindow::closeEvent(QCloseEvent *event)
{
    if (m_console.testRunning()) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("教师控制台"),
                        QStringLiteral("测试还在进行。"), QMessageBox::NoButton, this);
        box.setInformativeText(
            QStringLiteral("结束测试再退出，或者直接退出：下次打开控制台时继续这次测试。"));
        QPushButton *end = box.addButton(QStringLiteral("结束测试并退出"), QMessageBox::AcceptRole);
        QPushButton *keep =
            box.addButton(QStringLiteral("退出，下次继续"), QMessageBox::DestructiveRole);
        box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        box.exec();
        if (box.clickedButton() == end) {
            (void)m_console.endTest();
        } else if (box.clickedButton() != keep) {
            event->ignore();
            return;
        }
    }
    m_console.flush();
    event->accept();
}

QWidget *TeacherWindow::buildSetup()
{
    auto *box = new QGroupBox(QStringLiteral("测试设置"));
    auto *form = new QFormLayout(box);
    // The library of saved setups.
    m_setups = new QComboBox;
    m_setups->setPlaceholderText(QStringLiteral("（没有保存的试题）"));
    m_setups->setMinimumContentsLength(8);
    form->addRow(QStringLiteral("试题库"), m_setups);
    // Two by two: the panel keeps its width.
    auto *libraryRow = new QGridLayout;
    auto *load = new QPushButton(QStringLiteral("载入"));
    auto *saveAs = new QPushButton(QStringLiteral("保存为…"));
    auto *remove = new QPushButton(QStringLiteral("删除"));
    auto *importText = new QPushButton(QStringLiteral("导入文本…"));
    libraryRow->addWidget(load, 0, 0);
    libraryRow->addWidget(saveAs, 0, 1);
    libraryRow->addWidget(remove, 1, 0);
    libraryRow->addWidget(importText, 1, 1);
    form->addRow(libraryRow);
    connect(load, &QPushButton::clicked, this, [this] {
        if (const Status status = loadSetup(m_setups->currentText()); !status.ok())
            report(status.error);
    });
    connect(saveAs, &QPushButton::clicked, this, [this] {
        bool ok = false;
        const QString name =
            QInputDialog::getText(this, QStringLiteral("保存试题"), QStringLiteral("名称"),
                                  QLineEdit::Normal, m_setups->currentText(), &ok);
        if (!ok)
            return;
        const Status status = saveSetupAs(name);
        report(status.ok() ? QStringLiteral("试题已保存：") + name.trimmed() : status.error);
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        const QString name = m_setups->currentText();
        if (name.isEmpty() ||
            QMessageBox::question(this, QStringLiteral("试题库"),
                                  QStringLiteral("删除试题“%1”？").arg(name)) != QMessageBox::Yes)
            return;
        if (const Status status = m_console.store().removeSetup(name); !status.ok())
            report(status.error);
        refreshSetups();
    });
    connect(importText, &QPushButton::clicked, this, [this] {
        const QString path =
            QFileDialog::getOpenFileName(this, QStringLiteral("导入文本"), QString(),
                                         QStringLiteral("文本文件 (*.txt);;所有文件 (*)"));
        if (path.isEmpty())
            return;
        bool ok = false;
        const QString name =
            QInputDialog::getText(this, QStringLiteral("导入文本"), QStringLiteral("试题名称"),
                                  QLineEdit::Normal, QFileInfo(path).completeBaseName(), &ok);
        if (!ok)
            return;
        const Status status = importSetup(path, name);
        report(status.ok() ? QStringLiteral("已导入试题：") + name.trimmed() : status.error);
    });
    m_kind = new QComboBox;
    m_kind->addItems({QStringLiteral("普通文本"), QStringLiteral("词组文本 <cz>"),
                      QStringLiteral("字根练习 <zg>")});
    form->addRow(QStringLiteral("类型"), m_kind);
    m_text = new QPlainTextEdit;
    m_text->setPlaceholderText(QStringLiteral("在此输入测试文本，或从文件打开"));
    m_text->setMinimumWidth(200);
    m_text->setMaximumHeight(200);
    form->addRow(m_text);
    auto *fileRow = new QHBoxLayout;
    auto *open = new QPushButton(QStringLiteral("打开文件…"));
    m_encoding = new QComboBox;
    m_encoding->addItems(
        {QStringLiteral("自动识别"), QStringLiteral("UTF-8"), QStringLiteral("GBK")});
    fileRow->addWidget(open);
    fileRow->addWidget(m_encoding);
    form->addRow(fileRow);
    m_zone = new QSpinBox;
    m_zone->setRange(0, 5);
    m_zone->setSpecialValueText(QStringLiteral("全部"));
    m_count = new QSpinBox;
    m_count->setRange(1, 32767);
    auto *rootRow = new QHBoxLayout;
    rootRow->addWidget(new QLabel(QStringLiteral("分区")));
    rootRow->addWidget(m_zone);
    rootRow->addWidget(new QLabel(QStringLiteral("字根数")));
    rootRow->addWidget(m_count);
    form->addRow(QStringLiteral("字根练习"), rootRow);
    m_timeLimit = new QSpinBox;
    m_timeLimit->setRange(0, 32767);
    m_timeLimit->setSuffix(QStringLiteral(" 分钟"));
    m_timeLimit->setSpecialValueText(QStringLiteral("不限时"));
    form->addRow(QStringLiteral("限时"), m_timeLimit);
    m_hintDelay = new QSpinBox;
    m_hintDelay->setRange(0, 32766);
    m_hintDelay->setSuffix(QStringLiteral(" 秒"));
    form->addRow(QStringLiteral("提示延迟"), m_hintDelay);
    m_ime = new QComboBox;
    m_ime->setEditable(true);
    m_ime->addItems({QStringLiteral("不限制"), QStringLiteral("五笔"), QStringLiteral("拼音"),
                     QStringLiteral("微软拼音"), QStringLiteral("搜狗")});
    form->addRow(QStringLiteral("输入法"), m_ime);
    m_roots = new QCheckBox(QStringLiteral("允许字根表"));
    m_hints = new QCheckBox(QStringLiteral("允许编码提示"));
    auto *allowRow = new QHBoxLayout;
    allowRow->addWidget(m_roots);
    allowRow->addWidget(m_hints);
    form->addRow(allowRow);
    m_forbidden = new QLineEdit;
    m_forbidden->setPlaceholderText(QStringLiteral("程序名，用 | 分隔"));
    form->addRow(QStringLiteral("禁止程序"), m_forbidden);
    m_testName = new QLineEdit;
    m_testName->setPlaceholderText(QStringLiteral("例如 三班期中"));
    form->addRow(QStringLiteral("测试名称"), m_testName);
    m_className = new QLineEdit;
    m_className->setPlaceholderText(QStringLiteral("名单中的班级"));
    m_className->setMaxLength(32);
    form->addRow(QStringLiteral("班级"), m_className);
    m_passSpeed = new QSpinBox;
    m_passSpeed->setRange(0, 1000);
    m_passSpeed->setSuffix(QStringLiteral(" 字/分"));
    m_passAccuracy = new QSpinBox;
    m_passAccuracy->setRange(0, 100);
    m_passAccuracy->setSuffix(QStringLiteral(" %"));
    auto *passRow = new QHBoxLayout;
    passRow->addWidget(m_passSpeed);
    passRow->addWidget(m_passAccuracy);
    m_passSpeed->setToolTip(QStringLiteral("及格线：每分钟正确字数与正确率都要达到"));
    m_passAccuracy->setToolTip(m_passSpeed->toolTip());
    form->addRow(QStringLiteral("及格线"), passRow);

    auto *sendSettings = new QPushButton(QStringLiteral("发送设置"));
    auto *start = new QPushButton(QStringLiteral("开始测试"));
    auto *end = new QPushButton(QStringLiteral("结束测试"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(sendSettings);
    buttons->addWidget(start);
    buttons->addWidget(end);
    form->addRow(buttons);

    m_folder = new QLineEdit(m_console.resultsFolder());
    m_folder->setToolTip(QStringLiteral("每次测试的结果存为此文件夹中的一个CSV文件"));
    auto *choose = new QPushButton(QStringLiteral("…"));
    choose->setMaximumWidth(choose->fontMetrics().horizontalAdvance(QStringLiteral("……")) + 12);
    auto *save = new QPushButton(QStringLiteral("导出结果"));
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(choose);
    form->addRow(QStringLiteral("结果文件夹"), folderRow);
    form->addRow(save);

    connect(m_kind, &QComboBox::currentIndexChanged, this, &TeacherWindow::updateKind);
    connect(open, &QPushButton::clicked, this, &TeacherWindow::openTextFile);
    connect(choose, &QPushButton::clicked, this, &TeacherWindow::chooseResultsFolder);
    connect(m_folder, &QLineEdit::editingFinished, this,
            [this] { m_console.setResultsFolder(m_folder->text().trimmed()); });
    connect(sendSettings, &QPushButton::clicked, this, [this] {
        if (applySetup())
            m_console.sendSettings();
    });
    connect(start, &QPushButton::clicked, this, [this] {
        if (!applySetup())
            return;
        // Students still typing the last test get the new text at once: ask first.
        if (m_console.testRunning() &&
            QMessageBox::question(this, QStringLiteral("教师控制台"),
                                  QStringLiteral("上一次测试还在进行，结束它并开始新的测试？")) !=
                QMessageBox::Yes)
            return;
        m_console.setResultsFolder(m_folder->text().trimmed());
        if (const Status status = m_console.startTest(m_testName->text().trimmed()); !status.ok())
            report(status.error);
    });
    connect(end, &QPushButton::clicked, this, [this] {
        if (const Status status = m_console.endTest(); !status.ok())
            report(status.error);
    });
    connect(save, &QPushButton::clicked, this, [this] {
        m_console.setResultsFolder(m_folder->text().trimmed());
        // The running test's results, or the last test's once it has ended.
        if (const Status status = m_console.saveResults(); !status.ok())
            report(status.error);
        else
            report(QStringLiteral("结果已保存：") + m_console.lastSavedPath());
    });
    return box;
}

QWidget *TeacherWindow::buildMessages()
{
    auto *box = new QGroupBox(QStringLiteral("发消息"));
    auto *layout = new QVBoxLayout(box);
    m_message = new QLineEdit;
    m_message->setPlaceholderText(QStringLiteral("给学生的消息"));
    layout->addWidget(m_message);
    auto *row = new QHBoxLayout;
    auto *all = new QPushButton(QStringLiteral("发给全班"));
    auto *selected = new QPushButton(QStringLiteral("发给选中的学生"));
    row->addWidget(all);
    row->addWidget(selected);
    layout->addLayout(row);
    connect(all, &QPushButton::clicked, this, [this] { sendMessage(false); });
    connect(selected, &QPushButton::clicked, this, [this] { sendMessage(true); });
    return box;
}

void TeacherWindow::updateKind()
{
    const bool roots = m_kind->currentIndex() == 2;
    m_text->setEnabled(!roots);
    m_zone->setEnabled(roots);
    m_count->setEnabled(roots);
}

void TeacherWindow::showSetup(const TestSetup &setup)
{
    m_kind->setCurrentIndex(int(setup.kind));
    m_text->setPlainText(setup.text);
    m_zone->setValue(setup.rootZone);
    m_count->setValue(setup.rootCount);
    m_timeLimit->setValue(setup.timeLimit);
    m_hintDelay->setValue(setup.hintDelay);
    m_ime->setCurrentText(setup.inputMethodRule);
    m_roots->setChecked(setup.rootsAllowed);
    m_hints->setChecked(setup.hintsAllowed);
    m_forbidden->setText(setup.forbidden);
    m_passSpeed->setValue(setup.passSpeed);
    m_passAccuracy->setValue(setup.passAccuracy);
    updateKind();
}

bool TeacherWindow::applySetup()
{
    TestSetup setup;
    setup.kind = TestSetup::Kind(m_kind->currentIndex());
    setup.text = m_text->toPlainText();
    setup.rootZone = m_zone->value();
    setup.rootCount = m_count->value();
    setup.timeLimit = m_timeLimit->value();
    setup.hintDelay = m_hintDelay->value();
    setup.inputMethodRule = m_ime->currentText();
    setup.rootsAllowed = m_roots->isChecked();
    setup.hintsAllowed = m_hints->isChecked();
    setup.forbidden = m_forbidden->text();
    setup.passSpeed = m_passSpeed->value();
    setup.passAccuracy = m_passAccuracy->value();
    m_console.setClassName(m_className->text());
    if (const Status status = m_console.applySetup(setup); !status.ok()) {
        report(QStringLiteral("设置有误：") + status.error);
        return false;
    }
    return true;
}

void TeacherWindow::openTextFile()
{
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("打开测试文本"), QString(),
                                     QStringLiteral("文本文件 (*.txt);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    QString text;
    const auto kind = TestSetup::Kind(m_kind->currentIndex());
    if (const Status status = TestSetup::readTextFile(
            path, TestSetup::FileEncoding(m_encoding->currentIndex()), kind, text);
        !status.ok()) {
        report(status.error);
        return;
    }
    m_text->setPlainText(text);
}

void TeacherWindow::chooseResultsFolder()
{
    const QString folder =
        QFileDialog::getExistingDirectory(this, QStringLiteral("结果文件夹"), m_folder->text());
    if (folder.isEmpty())
        return;
    m_folder->setText(folder);
    m_console.setResultsFolder(folder);
}

void TeacherWindow::sendMessage(bool selectedOnly)
{
    QList<int> rows;
    if (selectedOnly) {
        rows = selectedRows();
        if (rows.isEmpty()) {
            report(QStringLiteral("没有选中学生"));
            return;
        }
    }
    int sent = 0;
    if (const Status status = m_console.sendMessage(m_message->text(), rows, &sent); !status.ok())
        report(status.error);
    else
        report(QStringLiteral("消息已发给%1人").arg(sent));
}

HistoryWindow *TeacherWindow::openHistory()
{
    (void)m_console.store().commit();
    if (!m_history)
        m_history = new HistoryWindow(m_console, this);
    m_history->show();
    m_history->raise();
    return m_history;
}

void TeacherWindow::refreshSetups()
{
    const QString current = m_setups->currentText();
    m_setups->clear();
    for (const SavedSetup &saved : m_console.store().setups())
        m_setups->addItem(saved.name);
    m_setups->setCurrentIndex(std::max(0, m_setups->findText(current)));
}

Status TeacherWindow::saveSetupAs(const QString &name)
{
    // What the fields say, checked as a test would take it.
    if (!applySetup())
        return Status::failure(QStringLiteral("设置有误，未保存"));
    const Status status = m_console.store().saveSetup(name, m_console.setup());
    refreshSetups();
    m_setups->setCurrentIndex(std::max(0, m_setups->findText(name.trimmed())));
    return status;
}

Status TeacherWindow::loadSetup(const QString &name)
{
    const std::optional<SavedSetup> saved = m_console.store().savedSetup(name);
    if (!saved)
        return Status::failure(QStringLiteral("没有名为“%1”的试题").arg(name));
    showSetup(saved->setup);
    m_setups->setCurrentIndex(std::max(0, m_setups->findText(saved->name)));
    report(QStringLiteral("已载入试题：") + saved->name);
    return Status::success();
}

Status TeacherWindow::importSetup(const QString &path, const QString &name)
{
    TestSetup setup = m_console.setup();
    setup.kind = TestSetup::Kind(m_kind->currentIndex()) == TestSetup::Kind::Words
                     ? TestSetup::Kind::Words
                     : TestSetup::Kind::Plain;
    if (const Status status = TestSetup::readTextFile(
            path, TestSetup::FileEncoding(m_encoding->currentIndex()), setup.kind, setup.text);
        !status.ok())
        return status;
    setup.passSpeed = m_passSpeed->value();
    setup.passAccuracy = m_passAccuracy->value();
    const Status status = m_console.store().saveSetup(name, setup);
    refreshSetups();
    m_setups->setCurrentIndex(std::max(0, m_setups->findText(name.trimmed())));
    return status;
}

void TeacherWindow::report(const QString &text)
{
    statusBar()->showMessage(text, 10000);
}

void TeacherWindow::refresh()
{
    m_chart->setSpeeds(m_console.speeds());
    m_summary->setText(m_console.summary().text());
    m_countdown->setText(m_console.testRunning() ? m_console.countdownText()
                                                 : QStringLiteral("没有进行中的测试"));
    m_classLine->setText(m_console.classLine());
    QString status = QStringLiteral("端口 %1 | ").arg(m_console.server().port());
    if (m_console.testRunning())
        status += QStringLiteral("测试进行中") +
                  (m_console.testName().isEmpty() ? QString()
                                                  : QStringLiteral("：") + m_console.testName());
    else
        status += QStringLiteral("没有进行中的测试");
    status += QStringLiteral(" | 结果库：") +
              (m_console.store().path() == QString::fromUtf16(ResultsStore::kMemory)
                   ? QStringLiteral("仅在内存中")
                   : m_console.store().path());
    if (!m_console.lastSavedPath().isEmpty())
        status += QStringLiteral(" | 结果文件：") + m_console.lastSavedPath();
    if (const SchoolCopy *copy = m_console.schoolCopy())
        status +=
            QStringLiteral(" | 学校数据库：%1%2")
                .arg(copy->school().shown(),
                     copy->reachable() ? QString() : QStringLiteral("（连不上，结果先存在本机）"));
    m_status->setText(status);
    updateDecisionButtons();
}
