// The yardstick for Penvoro's start-up: the least a Qt Widgets program does to map one
// empty window of the main menu's outer size.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal window"));
    window.resize(1121, 667);
    window.show();
    return application.exec();
}
