#pragma once

class Client;

// The personal information dialog Form2 ("个人信息"), run modally.
void showForm2(Client &client);
// The server settings dialog Form3 ("服务器设置"), run modally.
void showForm3(Client &client);
