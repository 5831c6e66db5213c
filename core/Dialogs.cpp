#include "core/Dialogs.h"

#include <QDialog>

int SystemDialogs::exec(QDialog &dialog)
{
    return dialog.exec();
}

QString applicationTitle()
{
    return QStringLiteral("澄岭文字录入测试系统客户端");
}

QMessageBox::StandardButton showMessage(Dialogs &dialogs, QWidget *parent, QMessageBox::Icon icon,
                                        const QString &title, const QString &text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, title, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(dialogs.exec(box));
}
