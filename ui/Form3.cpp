// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/Form3.h"

#include "core/AppSettings.h"
#include "core/Blanks.h"
#include "core/Client.h"
#include "core/Dialogs.h"
#include "core/widgets/Geometry.h"
#include "ui/SettingsDialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace settingsdialogs;

Form3::Form3(Client &client, QWidget *parent)
    : QDialog(parent)
    , m_client(client)
{
    setWindowTitle(QStringLiteral("服务器设置"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(twipsToPixels(this, 5685), twipsToPixels(this, 1620));

    const ClientState &s = client.state;
    Label1 = makeLabel(this, QStringLiteral("服务器IP地址："));
    Label2 = makeLabel(this, QStringLiteral("端   口   号："));
    Text1 = makeTextBox(this, s.strServerIp, AppSettings::kIpLength);
    Text2 = makeTextBox(this, QString::number(s.NumServerPort), AppSettings::kPortLength);
    Command1 = makeButton(this, QStringLiteral("确定"));
    Command2 = makeButton(this, QStringLiteral("取消"));
    Command1->setDefault(true);

    placeInTwips(Label1, 240, 120, 1470, 210);
    placeInTwips(Label2, 240, 600, 1470, 210);
    for (QLabel *label : {Label1, Label2})
        fitLabel(label, Grow::AroundMiddle);
    placeInTwips(Text1, 1920, 120, 3615, 330);
    placeInTwips(Text2, 1920, 600, 3615, 330);
    placeInTwips(Command2, 4440, 1080, 1095, 375);
    placeInTwips(Command1, 3120, 1080, 1095, 375);

    // Cancel comes before OK in the tab order, although it stands to its right.
    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Command2);
    setTabOrder(Command2, Command1);
    Text1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form3::Command2_Click);
}

void Form3::Command1_Click()
{
    ClientState &s = m_client.state;
    Text2->setText(blanks::trimmed(Text2->text()));
    const std::optional<int> port = AppSettings::port(Text2->text());
    if (!port) {
        showMessage(*m_client.services.dialogs, Dialogs::Warning, applicationTitle(),
                    QStringLiteral("必须填入%1-%2之间的整数")
                        .arg(AppSettings::kMinPort)
                        .arg(AppSettings::kMaxPort));
        Text2->setText(QString::number(s.NumServerPort));
        Text2->setFocus();
        Text2->selectAll();
        return;
    }

    s.strServerIp = blanks::trimmed(Text1->text());
    s.NumServerPort = *port;

    const AppSettings settings(m_client.services.paths);
    reportSaved(*m_client.services.dialogs, settings.writeServer(s.strServerIp, Text2->text()));
    accept();
}

void Form3::Command2_Click()
{
    reject();
}
