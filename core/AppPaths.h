// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Status.h"

#include <QString>
#include <QStringList>

// Where the client keeps its settings file and finds its data files.
//
// A client run from a folder of its own (the build folder, a copy on a USB stick) keeps
// appset.ini in that folder, as it always did. An installed client (the executable in bin/
// with its data in ../share/chengling, or in a folder the user may not write) keeps each
// user's settings in the user's config folder instead, filled at the first start from the
// machine-wide preset when the technician wrote one. A copy of the program folder the user
// may not write (a room's read-only share) that holds an appset.ini of its own still reads it:
// a key the user's own file lacks comes from the file beside the program, which then takes the
// machine-wide preset's place; what the user saves goes to the user's file. Data files (wb.dat,
// wbcz.dat, 86zg.dat) are taken from the program folder when they are there, else from the
// installed data folder.
class AppPaths
{
public:
    enum class Place { ProgramFolder, UserFolder };

    // The machine-wide preset a technician writes once per computer.
    static QString defaultPresetFile();
    // The data folder of an installed client, relative to its program folder.
    static QString installedDataDir(const QString &programDir);
    // True when programDir sits in an installed tree (its data folder exists beside it).
    static bool isInstalledLayout(const QString &programDir);

    AppPaths() = default;
    // Settings and data in one folder, whatever the folder is.
    static AppPaths inFolder(const QString &programDir);
    // Decides from the file system: the layout, whether the folder may be written, and the
    // user's XDG config folder.
    static AppPaths locate(const QString &programDir);
    // The same decision with every input given. An installed layout always uses the user's
    // folder, even for a user (root) who could write into the program folder: a settings file
    // in /usr/bin would belong to no package and outlive its removal.
    static AppPaths locate(const QString &programDir, bool programDirWritable,
                           const QString &userConfigDir, const QString &presetFile);

    Place place() const { return m_place; }
    QString programDir() const { return m_programDir; }
    // The appset.ini the client writes (and normally reads).
    QString settingsFile() const { return m_settingsFile; }
    // The preset copied into a new user's settings; empty when this place uses none.
    QString presetFile() const { return m_presetFile; }

    // The settings file start-up reads: the settings file, or the preset while the user has
    // no settings file yet (a copy that failed at this start).
    QString settingsFileToRead() const;
    // Every settings file start-up reads, in order: a key's value is taken from the first file
    // that gives it a value. The settings file (or the preset), then the file beside a program
    // folder the user may not write.
    QStringList settingsFilesToRead() const;
    // The appset.ini beside a program folder the user may not write, when there is one.
    QString besideFile() const;

    // The full name of a data file: in the program folder when it is there, else in the
    // installed data folder (the program folder's name when neither has it, so a message
    // about the missing file names the usual place).
    QString dataFile(const QString &name) const;

    // Run once before the settings are read. In the user's folder, the folder is made (the
    // settings dialogs write into it) and a missing settings file is created as a copy of the
    // preset when there is one. Fails, naming the file, when the folder or the copy cannot be
    // made or when the settings file or the preset exists but cannot be read.
    Status prepareSettings() const;

private:
    Place m_place = Place::ProgramFolder;
    QString m_programDir;
    QString m_dataDir;
    QString m_settingsFile;
    QString m_presetFile;
    QString m_besideFile; // a read-only program folder's own appset.ini, read after the user's
};
