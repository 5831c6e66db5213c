#pragma once

#include <QString>

class Client;

// Warns the student about open windows of programs the server has forbidden.
class ForbiddenScan
{
public:
    explicit ForbiddenScan(Client &client);

    // Runs the check with the list part of a settings message ("|"-separated names).
    void check(const QString &list);

private:
    Client &m_client;
};
