// Penvoro: a budget book for students. The program block: creates the windows and
// runs the event loop until the main menu closes.
#include "app/MainMenu.h"
#include "app/Startup.h"
#include "platform/QtDialogs.h"

#include <QApplication>
#include <QSessionManager>

int main(int argc, char* argv[]) {
    keepRunningPastFileSizeLimits();
    // The layout is drawn in pixels for 96 dots per inch; fonts follow the same scale.
    if (qEnvironmentVariableIsEmpty("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "96");
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);
    installDialogs(makeQtDialogs());
    startUp();
    QObject::connect(&application, &QGuiApplication::commitDataRequest, Form1, &TForm1::commitData);
    const int result = application.exec();
    destroyAllWindows();
    return result;
}
