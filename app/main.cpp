#include "app/Application.h"
#include "app/ProgramOptions.h"
#include "app/TfrmMain.h"

#include <iostream>

int main(int argc, char* argv[]) {
    // Before the application object, which would need a display.
    if (const auto exitCode = answerInformationOptions(argc, argv, std::cout))
        return *exitCode;
    TovalineApplication app(argc, argv);
    // Set before the window exists: it is the name the desktop shows.
    QApplication::setApplicationName(QStringLiteral("Tovaline"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tovaline"));
    int result = 0;
    {
        // Destroyed when the loop has ended, while the settings still live.
        TfrmMain frmMain(PlatformServices::desktop());
        frmMain.show();
        result = QApplication::exec();
    }
    return result;
}
