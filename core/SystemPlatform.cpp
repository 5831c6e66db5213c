#include "core/SystemPlatform.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QSysInfo>

void SystemClipboard::clear()
{
    // QClipboard::clear() only gives up what this program itself put there: content owned by
    // another program would stay. Taking the clipboard over with empty content empties it
    // whoever owned it.
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setMimeData(new QMimeData, QClipboard::Clipboard);
    if (clipboard->supportsSelection())
        clipboard->setMimeData(new QMimeData, QClipboard::Selection);
}

QString SystemMachineInfo::computerName()
{
    return QSysInfo::machineHostName();
}
