#include "FakeDialogs.h"

#include <QAbstractButton>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

int FakeDialogs::exec(QDialog &dialog)
{
    Shown record;
    record.className = QString::fromLatin1(dialog.metaObject()->className());
    record.title = dialog.windowTitle();
    auto *box = qobject_cast<QMessageBox *>(&dialog);
    if (box) {
        record.text = box->text();
        record.icon = box->icon();
    }
    shown << record;
    if (answer)
        return answer(dialog);
    if (box) {
        if (QAbstractButton *def = box->defaultButton())
            return box->standardButton(def);
        return QMessageBox::Ok;
    }
    return QDialog::Rejected;
}

FakeDialogs::Shown FakeDialogs::lastBox() const
{
    for (auto it = shown.crbegin(); it != shown.crend(); ++it) {
        if (it->className == QLatin1String("QMessageBox"))
            return *it;
    }
    return {};
}
