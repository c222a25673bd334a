#include "app/TfrmMain.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tovaline"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tovaline"));
    TfrmMain frmMain(PlatformServices::desktop());
    frmMain.show();
    return QApplication::exec();
}
