#pragma once

#include <QPointer>
#include <QString>

class Client;
class QWidget;

// The server message window Form4 and the result window Form5 of one client.
class MessageWindows
{
public:
    explicit MessageWindows(Client &client);
    ~MessageWindows();

    // Appends a teacher's message with a time stamp and shows the message window.
    void PrintText(const QString &text);
    // Fills the result window and shows it modally; returns when it has closed.
    void showMsg(const QString &xingming, const QString &xuehao, const QString &banji,
                 const QString &msg, const QString &cuowu);

    QWidget *form4() const; // the open message window, or nullptr

private:
    Client &m_client;
    QPointer<QWidget> m_form4;
};
