#pragma once
// Where one copy of the program keeps its files.
//
// A portable copy (the build folder, an unpacked folder) keeps config.xml,
// recorded.xml and the encoder links beside its executable. An installed copy
// is one whose executable lies in a folder named "bin" with a sibling
// "share/tovaline" (what `cmake --install` and the package lay out): it never
// writes beside its executable, keeps the user's files in the XDG folders and
// its encoder links in "lib/tovaline", a sibling of "bin".

#include <QString>

struct ProgramFiles {
    // Each with a trailing '/'.
    QString settingsFolder; // config.xml
    QString dataFolder;     // recorded.xml
    QString encoderFolder;  // lame, oggenc2
    // The settings that come with an installed copy, read while the user has
    // none of their own yet. Empty for a portable copy, where a missing
    // config.xml is a broken installation worth a warning.
    QString shippedSettings;
    bool installed = false;

    // Everything in the program folder.
    static ProgramFiles portable(const QString& programFolder);
};

bool isInstalledCopy(const QString& executableFolder);

// configHome and dataHome are the user's XDG base folders; the program's own
// subfolders are "tovaline" below them.
ProgramFiles locateProgramFiles(const QString& executableFolder, const QString& configHome,
                                const QString& dataHome);

// $XDG_CONFIG_HOME and $XDG_DATA_HOME, or their defaults below $HOME when
// unset or not absolute.
QString xdgConfigHome();
QString xdgDataHome();
