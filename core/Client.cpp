// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Client.h"

#include "core/Dialogs.h"
#include "core/IniStore.h"
#include "core/Numeric.h"
#include "core/Platform.h"
#include "core/Version.h"

#include <exception>

Client::Client(const Services &services)
    : services(services)
{}

QString Client::productCaption()
{
    return QStringLiteral("澄岭文字录入测试系统客户端  %1.%2.%3")
        .arg(version::kMajor)
        .arg(version::kMinor)
        .arg(version::kPatch);
}

QString Client::startCaption()
{
    return QStringLiteral("澄岭打字测试系统客户端");
}

QString Client::getthecomputerName()
{
    // The name is used as the platform gives it, at most 225 characters.
    const QString name = services.machine ? services.machine->computerName() : QString();
    return name.left(225);
}

void Client::checkStr()
{
    for (QString *text : {&state.strUserName, &state.strXuehao, &state.strBanji}) {
        const qsizetype nul = text->indexOf(QChar(0));
        if (nul >= 0)
            text->truncate(nul);
    }
}

bool Client::Form_QueryUnload()
{
    if (!state.IsWorking)
        return false;
    // The end button is enabled whenever there is something to end (the test session).
    showMessage(*services.dialogs, Dialogs::Warning, QStringLiteral("注意"),
                QStringLiteral("正在进行测试，无法退出。请先点击“结束”按钮。"));
    return true;
}

void Client::btnzigen_Click()
{
    if (ui.Pmid2->isVisible()) {
        ui.Pmid2->hide();
        ui.Pmid->show();
    } else {
        ui.Pmid2->show();
        ui.Pmid->hide();
    }
    ui.txt2->setFocus();
}
