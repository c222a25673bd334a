#include "app/Application.h"

#include <QMessageBox>
#include <exception>

TovalineApplication::TovalineApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TovalineApplication::notify(QObject* receiver, QEvent* event) {
    QString text;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        text = QString::fromLocal8Bit(e.what());
    } catch (...) {
        text = QStringLiteral("An unexpected error occurred.");
    }
    // An error's text may quote a path; it is shown as text, never as markup.
    QMessageBox box(QMessageBox::Critical, applicationDisplayName(), text, QMessageBox::Ok,
                    activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return false;
}
