#pragma once
// The application object: catches what escapes an event handler, shows it to
// the user and lets the program go on.

#include <QApplication>

class TovalineApplication : public QApplication {
    Q_OBJECT
public:
    TovalineApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
