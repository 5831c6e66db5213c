// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>

class LinkLabel;
class QLabel;
class ResultDetail;
struct TestResult;

// The result window "测试结果": a smiling face, the student's identity, the statistics
// sentence, the number of mistyped characters and the link to practise them. Fixed size, on
// white.
class Form5 : public QDialog
{
    Q_OBJECT
public:
    explicit Form5(QWidget *parent = nullptr);

    // Fills the labels for the given identity, statistics sentence and error characters, and
    // keeps the error characters for the practice link.
    void fill(const QString &xingming, const QString &xuehao, const QString &banji,
              const QString &msg, const QString &cuowu);
    // The same for a whole result, with what its detail part teaches: the caption says that the
    // time is up when the time limit ended an incomplete text, a root practice names its wrong
    // keys, and a result without a practice of its own has no practice link.
    void fill(const TestResult &result);
    QString cuowu() const { return m_cuowu; }

    // Opens or closes the detail part below the designed window, which grows to hold it.
    void showDetail(bool open);
    bool detailShown() const;

    QWidget *Image1;
    QLabel *Label2;
    QLabel *Lname;
    QLabel *Lxuehao;
    QLabel *Lbanji;
    QLabel *Lmsg;
    QLabel *Label1;
    LinkLabel *Label3;
    LinkLabel *Ldetail; // opens and closes the detail part
    ResultDetail *detail;

private:
    QString m_cuowu;
};
