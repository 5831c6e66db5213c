#pragma once

#include "core/Dialogs.h"

#include <QList>
#include <QString>

#include <functional>

// Answers modal windows without a person. Every window run is recorded; message boxes with
// their icon, title and text. The answerer may inspect and drive the window (click a link,
// fill fields) and returns the window's result. Without an answerer, message boxes answer
// with their default button (or OK) and other dialogs are rejected.
class FakeDialogs final : public Dialogs
{
public:
    struct Shown
    {
        QString className; // the window's class, e.g. QMessageBox
        QString title;
        QString text;      // message boxes only
        int icon = 0;      // QMessageBox::Icon
    };

    int exec(QDialog &dialog) override;

    std::function<int(QDialog &)> answer;
    QList<Shown> shown;

    // The last message box shown, or an empty record.
    Shown lastBox() const;
    int count() const { return int(shown.size()); }
};
