#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <memory>

#include "TempDir.h"
#include "schedule/ScheduleDb.h"

// A program folder laid out in a temporary directory from the built one, and the real program
// started on it with a given clock, reading what it logs.
class ProgramRun {
  public:
    ProgramRun() {
        const QDir built(QStringLiteral(TOLLVANE_BUILT_DIR));
        for (const char* name : {"tollvane", "tollvane-table", "digital.ttf", "sys.mp3"}) {
            QFile::copy(built.filePath(QString::fromLatin1(name)),
                        dir.file(QString::fromLatin1(name)));
        }
        QFile::setPermissions(dir.file("tollvane"), QFile::ExeOwner | QFile::ReadOwner);
        QDir(dir.path()).mkpath("Data");
        QDir(dir.path()).mkpath("Music");
        QDir(dir.path()).mkpath(QStringLiteral("随机音乐"));
        for (const QString& name : schedule::kTableNames) {
            ScheduleDb::create(dataFile(name));
        }
    }
    ~ProgramRun() { stop(); }

    QString dataFile(const QString& name) const { return dir.file("Data/" + name); }
    QString path(const QString& name) const { return dir.file(name); }

    // Starts the program with its clock at `now` ("2026-12-07T07:59:55").
    void start(const QString& now, const QStringList& extraEnv = {}) {
        process = std::make_unique<QProcess>();
        QStringList env = QProcess::systemEnvironment();
        env << "QT_QPA_PLATFORM=offscreen"
            << "TOLLVANE_NOW=" + now << "XDG_RUNTIME_DIR=" + dir.path()
            << "TOLLVANE_AUDIO_SINK=fakesink sync=true"
            << "TOLLVANE_SHUTDOWN_COMMAND=echo requested >> '" + dir.file("shutdown-requests") +
                   "'";
        env << QStringLiteral("LSAN_OPTIONS=suppressions=%1")
                   .arg(QStringLiteral(TOLLVANE_LSAN_SUPP));
        env << extraEnv;
        process->setEnvironment(env);
        process->setProgram(dir.file("tollvane"));
        process->setWorkingDirectory(dir.path());
        process->start();
        process->waitForStarted(10000);
    }

    // Waits until a line of that kind appears (or the time runs out); returns its details.
    QString waitFor(const QString& kind, int timeoutMs = 15000) {
        QElapsedTimer timer;
        timer.start();
        while (true) {
            for (const QString& line : lines()) {
                if (line.section(' ', 1, 1) == kind) {
                    return line.section(' ', 2);
                }
            }
            if (timer.elapsed() > timeoutMs || !process ||
                process->state() == QProcess::NotRunning) {
                return QStringLiteral("<no %1 line>").arg(kind);
            }
            process->waitForReadyRead(200);
        }
    }

    // Waits until `count` lines of that kind have appeared (or the time runs out); returns them.
    QStringList waitForCount(const QString& kind, int count, int timeoutMs = 30000) {
        QElapsedTimer timer;
        timer.start();
        while (all(kind).size() < count && timer.elapsed() < timeoutMs && process &&
               process->state() != QProcess::NotRunning) {
            process->waitForReadyRead(200);
        }
        return all(kind);
    }

    // Every line of that kind logged so far.
    QStringList all(const QString& kind) {
        QStringList found;
        for (const QString& line : lines()) {
            if (line.section(' ', 1, 1) == kind) {
                found << line.section(' ', 2);
            }
        }
        return found;
    }

    QStringList lines() {
        if (process) {
            log += QString::fromUtf8(process->readAllStandardError());
        }
        return log.split('\n', Qt::SkipEmptyParts);
    }

    // Ends the program as the session's end would, and returns its exit code.
    int stop() {
        if (!process || process->state() == QProcess::NotRunning) {
            return process ? process->exitCode() : 0;
        }
        process->terminate();
        if (!process->waitForFinished(15000)) {
            process->kill();
            process->waitForFinished();
        }
        lines();
        return process->exitCode();
    }

    TempDir dir;
    std::unique_ptr<QProcess> process;
    QString log;
};
