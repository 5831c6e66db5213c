#pragma once

#include <QString>

class Client;

// Opens root practice for a "<zg>" text.
class PracticeLauncher
{
public:
    explicit PracticeLauncher(Client &client);

    void LoadForm(const QString &body);

private:
    Client &m_client;
};
