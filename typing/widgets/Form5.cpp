// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "typing/widgets/Form5.h"

#include "core/widgets/Fonts.h"
#include "core/widgets/Geometry.h"
#include "core/widgets/LinkLabel.h"
#include "core/widgets/PictureBox.h"
#include "typing/TestResult.h"
#include "typing/widgets/ResultDetail.h"

#include <QLabel>
#include <QScreen>

namespace {

QLabel *makeLabel(QWidget *parent, const QFont &font, const QColor &color = QColor())
{
    auto *label = new QLabel(parent);
    // Names, numbers and classes come from the student and the server: shown as written,
    // never read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (color.isValid()) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, color);
        label->setPalette(palette);
    }
    return label;
}

} // namespace

Form5::Form5(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral("测试结果"));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);
    setFixedSize(twipsToPixels(this, 9840), twipsToPixels(this, 5295));

    const QFont heiti1425 = clientFont(QStringLiteral("黑体"), 14.25);
    Image1 = new PictureBox(QStringLiteral(":/pictures/smiley.svg"), this);
    Label2 = makeLabel(this, clientFont(QStringLiteral("黑体"), 42), QColor(255, 128, 0));
    Label2->setText(QStringLiteral("完成啦！"));
    Lname = makeLabel(this, heiti1425);
    Lxuehao = makeLabel(this, heiti1425);
    Lbanji = makeLabel(this, heiti1425);
    Lmsg = makeLabel(this, heiti1425);
    Lmsg->setWordWrap(true);
    Label1 = makeLabel(this, clientFont(QStringLiteral("宋体"), 15.75));
    Label1->setWordWrap(true);
    Label3 = new LinkLabel(QStringLiteral("点击这里进行强化训练"), this);
    QFont linkFont = clientFont(QStringLiteral("黑体"), 10.5);
    linkFont.setUnderline(true);
    Label3->setFont(linkFont);
    QPalette linkPalette = Label3->palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label3->setPalette(linkPalette);

    Ldetail = new LinkLabel(QString(), this);
    Ldetail->setFont(linkFont);
    Ldetail->setPalette(linkPalette);
    detail = new ResultDetail(this);
    detail->hide();
    connect(Ldetail, &LinkLabel::clicked, this, [this] { showDetail(!detailShown()); });

    placeInTwips(Image1, 480, 240, 3150, 3150);
    placeInTwips(Label2, 480, 3600, 3360, 840);
    placeInTwips(Lname, 4080, 240, 5415, 375);
    placeInTwips(Lxuehao, 4080, 720, 5415, 375);
    placeInTwips(Lbanji, 4080, 1200, 5415, 375);
    placeInTwips(Lmsg, 4080, 1680, 5415, 1935);
    placeInTwips(Label1, 4080, 3720, 5415, 855);
    placeInTwips(Label3, 7320, 4800, 2100, 210);
    // The detail link sits at the left of the link row, under the face.
    placeInTwips(Ldetail, 480, 4800, 2100, 210);
    fitLabel(Label2, Grow::Downwards);
    fitLabel(Label3, Grow::Downwards);
    showDetail(false);
    // The identity lines keep their width (a long class name is cut at the window's edge)
    // but take the height of a line of their font.
    for (QLabel *label : {Lname, Lxuehao, Lbanji})
        label->resize(label->width(), std::max(label->height(), label->fontMetrics().height()));
}

void Form5::fill(const QString &xingming, const QString &xuehao, const QString &banji,
                 const QString &msg, const QString &cuowu)
{
    Lname->setText(QStringLiteral("姓名：") + xingming);
    Lxuehao->setText(QStringLiteral("学号：") + xuehao);
    Lbanji->setText(QStringLiteral("班级：") + banji);
    Lmsg->setText(msg);
    Label1->setText(QStringLiteral("有%1个字出现错误。如果要练习错误字符，请点击“强化练习”链接。")
                        .arg(cuowu.size()));
    m_cuowu = cuowu;
    // Two lines of the error sentence may need a little more height than designed; the link
    // below leaves room for it.
    fitLabel(Label1, Grow::Downwards);
}

void Form5::fill(const TestResult &result)
{
    fill(result.xingming, result.xuehao, result.banji, result.msg, result.cuowu);
    // "完成啦！" stays for a completed text; a time limit that ended an incomplete one says so.
    Label2->setText(result.timeUp ? QStringLiteral("时间到！") : QStringLiteral("完成啦！"));
    if (result.wrongKeys >= 0) {
        Label1->setText(QStringLiteral("有%1个字根按错，共按错键%2次。")
                            .arg(result.mistakes.size())
                            .arg(result.wrongKeys));
        fitLabel(Label1, Grow::Downwards);
    }
    Label3->setVisible(result.drillable);
    detail->fill(result);
}

bool Form5::detailShown() const
{
    return !detail->isHidden();
}

void Form5::showDetail(bool open)
{
    const int width = twipsToPixels(this, 9840);
    const int designed = twipsToPixels(this, 5295);
    Ldetail->setText(open ? QStringLiteral("收起详细结果") : QStringLiteral("查看详细结果"));
    fitLabel(Ldetail, Grow::Downwards);
    // The detail part below the designed window: the curve, the accuracy and the mistakes.
    // It takes what the screen leaves below the designed part, at most 4500 twips (the frame
    // of the window needs a little room too).
    int detailHeight = twipsToPixels(this, 4500);
    if (const QScreen *screen = this->screen())
        detailHeight =
            std::max(twipsToPixels(this, 2400),
                     std::min(detailHeight, screen->availableGeometry().height() - designed - 48));
    const int margin = twipsToPixels(this, 240);
    detail->setGeometry(margin, designed, width - 2 * margin, detailHeight - margin);
    detail->setVisible(open);
    setFixedSize(width, open ? designed + detailHeight : designed);
    if (isVisible())
        centerOnScreen(this);
}
