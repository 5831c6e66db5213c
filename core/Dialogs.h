#pragma once

#include <QMessageBox>

class QDialog;
class QWidget;

// The message boxes and the settings dialogs of the client are run through this interface; the
// result window runs its own modal loop. The real client runs the window's own event loop;
// tests install an answerer that inspects the window, clicks what it wants and closes it, so
// no test ever waits for a person.
class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // Runs the window modally and returns its result (QDialog::exec semantics; for a
    // QMessageBox the standard button that closed it).
    virtual int exec(QDialog &dialog) = 0;
};

class SystemDialogs final : public Dialogs
{
public:
    int exec(QDialog &dialog) override;
};

// The application title that boxes without a title of their own carry.
QString applicationTitle();

// Builds a message box and runs it through `dialogs`. Returns the button that closed it.
QMessageBox::StandardButton
showMessage(Dialogs &dialogs, QWidget *parent, QMessageBox::Icon icon, const QString &title,
            const QString &text, QMessageBox::StandardButtons buttons = QMessageBox::Ok,
            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
