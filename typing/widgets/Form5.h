#pragma once

#include <QDialog>

class LinkLabel;
class QLabel;

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
    QString cuowu() const { return m_cuowu; }

    QWidget *Image1;
    QLabel *Label2;
    QLabel *Lname;
    QLabel *Lxuehao;
    QLabel *Lbanji;
    QLabel *Lmsg;
    QLabel *Label1;
    LinkLabel *Label3;

private:
    QString m_cuowu;
};
