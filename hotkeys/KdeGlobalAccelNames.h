#pragma once
// Where KDE's global-shortcut service lives on the session bus.

inline constexpr char kKdeGlobalAccelService[] = "org.kde.kglobalaccel";
inline constexpr char kKdeGlobalAccelPath[] = "/kglobalaccel";
inline constexpr char kKdeGlobalAccelInterface[] = "org.kde.KGlobalAccel";
inline constexpr char kKdeComponentInterface[] = "org.kde.kglobalaccel.Component";
