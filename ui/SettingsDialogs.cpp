// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/SettingsDialogs.h"

#include "core/Client.h"
#include "core/Dialogs.h"
#include "core/widgets/Fonts.h"
#include "core/widgets/Geometry.h"
#include "core/widgets/ModalRunner.h"
#include "ui/Form2.h"
#include "ui/Form3.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

template <typename Form> void runDialog(Client &client, ModalRunner &runner, QWidget *parent)
{
    Form dialog(client, parent);
    centerOnScreen(&dialog);
    runner.exec(dialog);
}

} // namespace

void showForm2(Client &client, ModalRunner &runner, QWidget *parent)
{
    runDialog<Form2>(client, runner, parent);
}

void showForm3(Client &client, ModalRunner &runner, QWidget *parent)
{
    runDialog<Form3>(client, runner, parent);
}

namespace settingsdialogs {

QLabel *makeLabel(QWidget *parent, const QString &caption)
{
    auto *label = new QLabel(caption, parent);
    label->setFont(clientFont(QStringLiteral("宋体"), 10.5));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QLineEdit *makeTextBox(QWidget *parent, const QString &text, int maxLength)
{
    auto *box = new QLineEdit(parent);
    box->setFont(clientFont(QStringLiteral("宋体"), 10.5));
    // A longer value from the settings file is shown whole, not cut by the limit, so that
    // confirming the dialog never shortens it behind the student's back.
    box->setMaxLength(std::max<int>(maxLength, int(text.size())));
    box->setText(text);
    return box;
}

QPushButton *makeButton(QWidget *parent, const QString &caption)
{
    // Enter presses the focused button, or OK when the focus is in a text box.
    auto *button = new QPushButton(caption, parent);
    button->setAutoDefault(true);
    return button;
}

void reportSaved(Dialogs &dialogs, const QStringList &errors)
{
    if (errors.isEmpty()) {
        showMessage(dialogs, Dialogs::Information, applicationTitle(),
                    QStringLiteral("设置完成！请重新点击“连接”按钮以连接到服务器。"));
        return;
    }
    showMessage(dialogs, Dialogs::Warning, applicationTitle(),
                QStringLiteral("设置未能保存！\n%1\n新的设置在本次运行中有效，但下次启动客户端时"
                               "不会保留。请重新点击“连接”按钮以连接到服务器。")
                    .arg(errors.join(u'\n')));
}

} // namespace settingsdialogs
