// Program entry: one running copy per session, then the main window and the event loop.

#include <QApplication>
#include <QScreen>

#include "app/QtDialogs.h"
#include "app/SignalExit.h"
#include "app/SingleInstance.h"
#include "app/TForm1.h"
#include "core/Clock.h"
#include "core/EventLog.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tollvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tollvane"));

    const SystemClock clock = SystemClock::fromEnvironment();
    EventLog log(clock);
    QtDialogs dialogs;

    SingleInstance instance;
    if (instance.anotherIsRunning()) {
        dialogs.warning(QStringLiteral("警告"), QStringLiteral("程序已经在运行!"));
        return 0;
    }
    log.write(QStringLiteral("start"), QApplication::applicationFilePath());

    TForm1 form(Services{clock, dialogs, log, QApplication::applicationDirPath()});
    dialogs.setOwner(&form);
    form.FormCreate();
    form.CreateWindows();

    if (QScreen* screen = form.screen()) {
        const QRect frame = form.frameGeometry();
        form.move(screen->availableGeometry().center() -
                  QPoint(frame.width() / 2, frame.height() / 2));
    }
    if (form.startMinimised()) {
        form.showMinimized();
    } else {
        form.show();
    }

    SignalExit signalExit;
    QObject::connect(&signalExit, &SignalExit::requested, &form, [&form] {
        form.exitRequested = true;
        QApplication::quit();
    });
    app.exec();
    form.dbsmtbl1.close();
    log.write(QStringLiteral("exit"));
    return 0;  // the program ends with 0 in every case
}
