#include "ui/SettingsDialogs.h"

void showForm2(Client &) {}
void showForm3(Client &) {}
