// Program entry and composition root: the one place that names the real back ends. The first
// process is the supervisor; the bell program it runs keeps one running copy per session, then
// the main window and the event loop.

#include <malloc.h>
#include <unistd.h>

#include <cstring>

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QTranslator>

#include "app/FileOpener.h"
#include "app/HelpCommand.h"
#include "app/QtDialogs.h"
#include "app/QtTranslations.h"
#include "app/QtTrayIcon.h"
#include "app/ResumeState.h"
#include "app/SignalExit.h"
#include "app/SingleInstance.h"
#include "app/TForm1.h"
#include "core/AppError.h"
#include "core/Clock.h"
#include "core/EventLog.h"
#include "core/ProgramFolder.h"
#include "media/GstBackend.h"
#include "media/WavDecode.h"
#include "supervisor/Supervisor.h"
#include "sync/BundleSource.h"
#include "system/AlsaMasterVolume.h"
#include "system/KernelClockSync.h"
#include "system/Power.h"
#include "system/XdgAutostart.h"
#include "widgets/TRealTrackbar.h"

namespace {

// Shown by the supervisor instead of the program once it has crashed too often.
int crashLoopNotice(int argc, char** argv) {
    QApplication app(argc, argv);
    QTranslator qtTexts;
    installQtTranslations(app, qtTexts);
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Tollvane"),
                    QStringLiteral("Tollvane 在十分钟内多次意外退出，已停止自动重新启动，铃声不会"
                                   "再响。\n请查看程序文件夹中 Logs 里的记录，然后重新启动程序。"),
                    QMessageBox::Ok);
    box.exec();
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], media::kDecodeFlag) == 0) {
        // The helper that decodes a WMA file. Ended at once: GStreamer's caches are not freed,
        // and a leak check at exit must not turn a copy made into a failure.
        _exit(media::decodeToWav(argv[2], argv[3]));
    }
    if (!supervisor::isChild(argc, argv)) {
        return supervisor::run(argc, argv);
    }
    if (supervisor::hasFlag(argc, argv, supervisor::kCrashLoopFlag)) {
        return crashLoopNotice(argc, argv);
    }
    // Before anything else, so that a stop asked for during start-up still ends in order.
    SignalExit::catchSignals();
    // GStreamer's streaming threads would each get a malloc arena of their own, which keeps
    // what a sound freed; two arenas serve a program that plays one sound at a time.
    mallopt(M_ARENA_MAX, 2);

    QApplication app(argc, argv);
    QTranslator qtTexts;
    installQtTranslations(app, qtTexts);
    // Only the application name: a display name would be added to every window title.
    QApplication::setApplicationName(QStringLiteral("Tollvane"));
    // The program ends through "关闭", "退出程序" or the session's end, never because its last
    // visible window (a message box over the hidden main window) was closed.
    QApplication::setQuitOnLastWindowClosed(false);
    const QIcon icon(QStringLiteral(":/tollvane.svg"));
    QApplication::setWindowIcon(icon);
    installTrackbarAccessibility();

    const SystemClock clock = SystemClock::fromEnvironment();
    EventLog log(clock);
    QtDialogs dialogs;
    SignalExit signalExit;

    SingleInstance instance;
    if (instance.anotherIsRunning()) {
        log.write(QStringLiteral("already-running"), QApplication::applicationFilePath());
        instance.askToShow();  // the running copy shows its window, from the tray if need be
        // A stop asked for while the box waits ends this copy at once.
        QObject::connect(&signalExit, &SignalExit::requested, &app, [] { QApplication::exit(0); });
        if (!SignalExit::caught()) {
            dialogs.warning(QStringLiteral("警告"), QStringLiteral("程序已经在运行!"));
        }
        return 0;
    }
    const programfolder::Location where =
        programfolder::locate(QApplication::applicationDirPath(),
                              qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath());
    programfolder::Completed laidOut;
    if (where.installed()) {
        try {
            laidOut = programfolder::complete(where.templateDir, where.folder);
        } catch (const AppError& e) {
            log.write(QStringLiteral("error"), e.text());
            dialogs.warning(QStringLiteral("错误"), e.text());
            return 1;
        }
    }
    log.keepHistory(QDir(where.folder).filePath(QStringLiteral("Logs")));
    // The start line names every test or demonstration override in force.
    QStringList overrides;
    for (const QString& variable : QProcess::systemEnvironment()) {
        if (variable.startsWith(QLatin1String("TOLLVANE_"))) {
            overrides << variable;
        }
    }
    overrides.sort();
    log.write(QStringLiteral("start"),
              (QStringList{QApplication::applicationFilePath(), where.folder} + overrides)
                  .join(QLatin1Char(' ')));
    if (!laidOut.copied.isEmpty()) {
        log.write(QStringLiteral("folder-laid-out"), laidOut.copied.join(QLatin1Char(' ')));
    }
    for (const QString& failed : laidOut.failed) {
        log.write(QStringLiteral("folder-incomplete"), failed);
    }
    HelpCommand::writePage(where.folder, log);

    auto decoded = std::make_unique<DecodedSounds>(
        QDir(where.folder).filePath(QStringLiteral("Cache/sounds")),
        DecodedSounds::Helper{QApplication::applicationFilePath(),
                              {QString::fromLatin1(media::kDecodeFlag)}});
    TForm1 form(Services{clock, dialogs, log, where.folder,
                         std::make_unique<GstBackend>(GstBackend::kOpenWaitMs, std::move(decoded)),
                         std::make_unique<SystemPower>(), std::make_unique<QtTrayIcon>(icon),
                         std::make_unique<DesktopFileOpener>(),
                         std::make_unique<XdgAutostart>(XdgAutostart::fromEnvironment()),
                         std::make_unique<AlsaMasterVolume>(), ResumeState::defaultFile(),
                         std::make_unique<KernelClockSync>(), QApplication::applicationFilePath(),
                         makeBundleSource, std::make_unique<PoolBackground>()});
    QObject::connect(&signalExit, &SignalExit::showRequested, &form,
                     [&form] { form.guard().run([&form] { form.N1Click(); }); });
    QObject::connect(&signalExit, &SignalExit::requested, &form, [&form] {
        form.exitRequested = true;
        QApplication::quit();
    });
    dialogs.setOwner(&form);
    dialogs.setSoundFolder(form.programFile(QStringLiteral("Music")));
    form.FormCreate();
    if (const std::optional<qint64> crashedAt = supervisor::resumeTime(argc, argv)) {
        // Started again after a crash: the state it had, when it was kept.
        if (const std::optional<ResumeState> state =
                ResumeState::load(ResumeState::defaultFile())) {
            form.resume(*state, QDateTime::fromMSecsSinceEpoch(*crashedAt));
        }
    }

    if (QScreen* screen = form.screen()) {
        const QRect frame = form.frameGeometry();
        form.move(screen->availableGeometry().center() -
                  QPoint(frame.width() / 2, frame.height() / 2));
    }
    form.showAtStart();

    // A stop that came during start-up (its notice may have been taken by a nested event loop)
    // ends the program here instead of entering the loop.
    if (!SignalExit::caught()) {
        app.exec();
    }
    form.exitRequested = true;
    form.dbsmtbl1.close();
    log.write(QStringLiteral("exit"));
    return 0;  // the program ends with 0 in every case
}
