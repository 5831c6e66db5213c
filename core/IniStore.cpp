#include "core/IniStore.h"

QString ReadIni(const QString &, const QString &, const QString &) { return {}; }
Status WriteIni(const QString &, const QString &, const QString &, const QString &)
{
    return Status::failure(QStringLiteral("not written"));
}
QString settingsFile(const QString &appDir) { return appDir + QStringLiteral("/appset.ini"); }
