#pragma once
// The save folder the user typed: made, with its parents, when it does not
// exist yet, so the folder the box shows is the one recordings go to.

#include "base/Result.h"

#include <QString>

// Success when path is a folder now; otherwise a message that says why it
// could not be made and that recordings keep going to keptFolder.
Result PrepareSaveFolder(const QString& path, const QString& keptFolder);
