#include "app/Application.h"

#include <QMessageBox>
#include <exception>

TovalineApplication::TovalineApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TovalineApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        QMessageBox::critical(activeWindow(), applicationDisplayName(),
                              QString::fromLocal8Bit(e.what()));
    } catch (...) {
        QMessageBox::critical(activeWindow(), applicationDisplayName(),
                              QStringLiteral("An unexpected error occurred."));
    }
    return false;
}
