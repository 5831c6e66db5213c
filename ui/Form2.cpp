// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/Form2.h"

#include "core/AppSettings.h"
#include "core/Blanks.h"
#include "core/Client.h"
#include "core/Dialogs.h"
#include "core/Gbk.h"
#include "core/widgets/Geometry.h"
#include "ui/SettingsDialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace settingsdialogs;

Form2::Form2(Client &client, QWidget *parent)
    : QDialog(parent)
    , m_client(client)
{
    setWindowTitle(QStringLiteral("个人信息"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(twipsToPixels(this, 5640), twipsToPixels(this, 2100));

    const ClientState &s = client.state;
    Label1 = makeLabel(this, QStringLiteral("学号："));
    Label2 = makeLabel(this, QStringLiteral("姓名："));
    Label3 = makeLabel(this, QStringLiteral("班级："));
    Text1 = makeTextBox(this, s.strXuehao, AppSettings::kXuehaoLength);
    Text2 = makeTextBox(this, s.strUserName, AppSettings::kNameLength);
    Text3 = makeTextBox(this, s.strBanji, AppSettings::kBanjiLength);
    Command1 = makeButton(this, QStringLiteral("确定"));
    Command2 = makeButton(this, QStringLiteral("取消"));
    Command1->setDefault(true);

    placeInTwips(Label1, 120, 180, 630, 210);
    placeInTwips(Label2, 120, 660, 630, 210);
    placeInTwips(Label3, 120, 1140, 630, 210);
    for (QLabel *label : {Label1, Label2, Label3})
        fitLabel(label, Grow::AroundMiddle);
    placeInTwips(Text1, 840, 120, 4695, 330);
    placeInTwips(Text2, 840, 600, 4695, 330);
    placeInTwips(Text3, 840, 1080, 4695, 330);
    placeInTwips(Command1, 2880, 1560, 1095, 375);
    placeInTwips(Command2, 4200, 1560, 1095, 375);

    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Text3);
    setTabOrder(Text3, Command1);
    setTabOrder(Command1, Command2);
    Text1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
}

bool Form2::checkField(QLineEdit *field, const QString &caption)
{
    const QString text = blanks::trimmed(field->text());
    QString problem;
    // "|" separates the fields of the reports the identity travels in.
    if (text.contains(u'|'))
        problem = QStringLiteral("%1中不能含有“|”字符，请删除它。").arg(caption);
    else if (const gbk::Encoded encoded = gbk::encode(text); !encoded.ok())
        problem = QStringLiteral("%1中有无法保存和发送的字符：%2\n请改用其他字符。")
                      .arg(caption, encoded.unencodable);
    if (problem.isEmpty())
        return true;
    showMessage(*m_client.services.dialogs, Dialogs::Warning, applicationTitle(), problem);
    field->setFocus();
    field->selectAll();
    return false;
}

void Form2::Command1_Click()
{
    if (!checkField(Text1, QStringLiteral("学号")) || !checkField(Text2, QStringLiteral("姓名")) ||
        !checkField(Text3, QStringLiteral("班级")))
        return;

    ClientState &s = m_client.state;
    s.strXuehao = blanks::trimmed(Text1->text());
    s.strUserName = blanks::trimmed(Text2->text());
    s.strBanji = blanks::trimmed(Text3->text());

    m_client.ui.sb->showIdentity(s.strUserName, s.strXuehao, s.strBanji);

    const AppSettings settings(m_client.services.paths);
    reportSaved(*m_client.services.dialogs,
                settings.writeIdentity({s.strUserName, s.strXuehao, s.strBanji}));
    accept();
}

void Form2::Command2_Click()
{
    reject();
}
