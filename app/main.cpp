#include "app/Application.h"
#include "app/ProgramOptions.h"
#include "app/TfrmMain.h"
#include "app/remote/RemoteClient.h"

#include <QTimer>

#include <iostream>

namespace {

QStringList Arguments(int argc, char* argv[]) {
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

} // namespace

int main(int argc, char* argv[]) {
    // Before the application object, which would need a display.
    const CommandLine commandLine = ParseCommandLine(Arguments(argc, argv), std::cout, std::cerr);
    if (commandLine.exitCode)
        return *commandLine.exitCode;
    const ProgramRequest& request = commandLine.request;
    if (request.verb != RemoteVerb::None) {
        // No display either: a verb sent from cron reaches the running copy.
        std::optional<int> handedOver;
        {
            QCoreApplication client(argc, argv);
            handedOver = SendRemoteVerb(request, std::cout, std::cerr);
        }
        if (handedOver)
            return *handedOver;
    }
    TovalineApplication app(argc, argv);
    // Set before the window exists: it is the name the desktop shows.
    QApplication::setApplicationName(QStringLiteral("Tovaline"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tovaline"));
    int result = 0;
    {
        // Destroyed when the loop has ended, while the settings still live.
        TfrmMain frmMain(PlatformServices::desktop());
        frmMain.show();
        frmMain.ServeRemoteControl();
        frmMain.ShowStatusIcon();
        // --record with no copy running: this copy records as soon as its
        // window is up.
        if (request.verb == RemoteVerb::Record)
            QTimer::singleShot(0, &frmMain, [&frmMain, request] {
                if (request.recordFor)
                    frmMain.RecordFor(*request.recordFor);
                else
                    frmMain.RemoteRecord();
            });
        result = QApplication::exec();
    }
    return result;
}
