#pragma once
// Where the running copy serves its remote control on the session bus.

#include <QString>

inline const QString kRemoteService = QStringLiteral("org.tovaline.Tovaline");
inline const QString kRemotePath = QStringLiteral("/org/tovaline/Tovaline");
inline const QString kRemoteInterface = QStringLiteral("org.tovaline.Tovaline");
