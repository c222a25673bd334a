#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tovaline"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tovaline"));
    QWidget window;
    window.setWindowTitle(QStringLiteral("Tovaline"));
    window.resize(434, 392);
    window.show();
    return QApplication::exec();
}
