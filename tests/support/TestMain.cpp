// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/TestRegistry.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cstdlib>

namespace {

// On the offscreen platform the window tests get one screen of a desktop's size, 1920 × 1080
// (the platform's own is 800 × 800, smaller than the windows' designs), or the size that
// CLIENT_TEST_SCREEN gives as WIDTHxHEIGHT, to try a small screen in a run of its own.
// QT_SCALE_FACTOR scales it as on a real screen. Other platforms keep their screens.
void chooseTestScreen()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform != "offscreen")
        return;
    int width = 1920;
    int height = 1080;
    const QString wanted = qEnvironmentVariable("CLIENT_TEST_SCREEN");
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("^(\\d+)x(\\d+)$")).match(wanted);
    if (size.hasMatch()) {
        width = size.captured(1).toInt();
        height = size.captured(2).toInt();
    }
    const QString path = QDir::temp().filePath(
        QStringLiteral("client-test-screen-%1x%2.json").arg(width).arg(height));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    file.write(QStringLiteral("{\"screens\": [{\"name\": \"test\", \"x\": 0, \"y\": 0, "
                              "\"width\": %1, \"height\": %2, \"logicalDpi\": 96, "
                              "\"logicalBaseDpi\": 96, \"dpr\": 1}]}\n")
                   .arg(width)
                   .arg(height)
                   .toUtf8());
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + path.toLocal8Bit());
}

} // namespace

// Runs every registered test class of a window area. A first argument naming a class runs
// only that class; the remaining arguments go to Qt Test (e.g. a test function name, -v2).
int main(int argc, char *argv[])
{
    chooseTestScreen();
    QApplication app(argc, argv);
    return testregistry::runAll(QCoreApplication::arguments());
}
