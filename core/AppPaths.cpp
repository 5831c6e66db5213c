// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/AppPaths.h"

#include "core/IniStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

QString native(const QString &file)
{
    return QDir::toNativeSeparators(file);
}

Status readFailure(const QString &what, const QString &file, const QString &reason)
{
    return Status::failure(QStringLiteral("无法读取%1 %2：%3").arg(what, native(file), reason));
}

// Opens a file that exists for reading, to find out whether start-up will be able to read it.
Status checkReadable(const QString &what, const QString &file)
{
    const QFileInfo info(file);
    if (!info.exists())
        return Status::success();
    if (!info.isFile())
        return readFailure(what, file, QStringLiteral("该路径不是文件"));
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return readFailure(what, file, in.errorString());
    return Status::success();
}

// The settings file could not be made; start-up then reads the preset, when there is one.
Status createFailure(const QString &target, const QString &reason, const QString &preset)
{
    QString message = QStringLiteral("无法创建设置文件 %1：%2").arg(native(target), reason);
    if (!preset.isEmpty())
        message += QStringLiteral("\n本次使用预设文件 %1 中的设置。").arg(native(preset));
    return Status::failure(message);
}

// Writes a copy of the preset's bytes as a new file of the user's. The copy is written
// whole or not at all, so a failed first start leaves no half file that would stop the
// next start from trying again.
Status copyPreset(const QString &preset, const QString &target)
{
    QFile in(preset);
    if (!in.open(QIODevice::ReadOnly))
        return readFailure(QStringLiteral("预设文件"), preset, in.errorString());
    const QByteArray content = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return readFailure(QStringLiteral("预设文件"), preset, in.errorString());

    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return createFailure(target, out.errorString(), preset);
    if (out.write(content) != content.size() || !out.flush()) {
        const QString reason = out.errorString();
        out.cancelWriting();
        return createFailure(target, reason, preset);
    }
    if (!out.commit())
        return createFailure(target, out.errorString(), preset);
    return Status::success();
}

} // namespace

QString AppPaths::defaultPresetFile()
{
    return QStringLiteral("/etc/chengling/appset.ini");
}

QString AppPaths::installedDataDir(const QString &programDir)
{
    // The package installs the executable into <prefix>/bin and the data into
    // <prefix>/share/chengling; the relative path keeps any prefix working.
    return QDir::cleanPath(programDir + QStringLiteral("/../share/chengling"));
}

bool AppPaths::isInstalledLayout(const QString &programDir)
{
    return QFileInfo(installedDataDir(programDir)).isDir();
}

AppPaths AppPaths::inFolder(const QString &programDir)
{
    AppPaths paths;
    paths.m_place = Place::ProgramFolder;
    paths.m_programDir = programDir;
    paths.m_dataDir = installedDataDir(programDir);
    paths.m_settingsFile = ::settingsFile(programDir);
    return paths;
}

AppPaths AppPaths::locate(const QString &programDir)
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return locate(programDir, QFileInfo(programDir).isWritable(),
                  QDir(config).filePath(QStringLiteral("chengling")), defaultPresetFile());
}

AppPaths AppPaths::locate(const QString &programDir, bool programDirWritable,
                          const QString &userConfigDir, const QString &presetFile)
{
    AppPaths paths = inFolder(programDir);
    if (programDirWritable && !isInstalledLayout(programDir))
        return paths;
    paths.m_place = Place::UserFolder;
    paths.m_settingsFile = ::settingsFile(userConfigDir);
    paths.m_presetFile = presetFile;
    if (!isInstalledLayout(programDir))
        paths.m_besideFile = ::settingsFile(programDir);
    return paths;
}

QString AppPaths::besideFile() const
{
    return !m_besideFile.isEmpty() && QFileInfo(m_besideFile).isFile() ? m_besideFile : QString();
}

QString AppPaths::settingsFileToRead() const
{
    // The file beside the program takes the machine-wide preset's place.
    if (m_place == Place::UserFolder && !QFileInfo::exists(m_settingsFile) &&
        besideFile().isEmpty() && !m_presetFile.isEmpty() && QFileInfo(m_presetFile).isFile())
        return m_presetFile;
    return m_settingsFile;
}

QStringList AppPaths::settingsFilesToRead() const
{
    QStringList files{settingsFileToRead()};
    if (const QString beside = besideFile(); !beside.isEmpty())
        files << beside;
    return files;
}

QString AppPaths::dataFile(const QString &name) const
{
    const QString beside = QDir(m_programDir).filePath(name);
    if (QFileInfo(beside).isFile())
        return beside;
    const QString installed = QDir(m_dataDir).filePath(name);
    if (QFileInfo(installed).isFile() || QFileInfo(m_dataDir).isDir())
        return installed;
    return beside;
}

Status AppPaths::prepareSettings() const
{
    if (QFileInfo::exists(m_settingsFile))
        return checkReadable(QStringLiteral("设置文件"), m_settingsFile);
    if (m_place != Place::UserFolder)
        return Status::success();
    if (const QString beside = besideFile(); !beside.isEmpty()) {
        // Read at every start, key by key after the user's own file; nothing is copied.
        if (Status status = checkReadable(QStringLiteral("设置文件"), beside); !status.ok())
            return status;
        const QString folder = QFileInfo(m_settingsFile).absolutePath();
        if (!QDir().mkpath(folder))
            return createFailure(
                m_settingsFile, QStringLiteral("无法创建文件夹 %1").arg(native(folder)), QString());
        return Status::success();
    }
    const bool hasPreset = !m_presetFile.isEmpty() && QFileInfo::exists(m_presetFile);
    if (hasPreset) {
        if (Status status = checkReadable(QStringLiteral("预设文件"), m_presetFile); !status.ok())
            return status;
    }
    // The settings dialogs write the file in place; its folder has to be there for that.
    const QString folder = QFileInfo(m_settingsFile).absolutePath();
    if (!QDir().mkpath(folder)) {
        return createFailure(m_settingsFile,
                             QStringLiteral("无法创建文件夹 %1").arg(native(folder)),
                             hasPreset ? m_presetFile : QString());
    }
    return hasPreset ? copyPreset(m_presetFile, m_settingsFile) : Status::success();
}
