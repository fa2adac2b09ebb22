#include "app/HelpCommand.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/FileOpener.h"
#include "core/Dialogs.h"
#include "core/EventLog.h"
#include "core/WholeFile.h"

HelpCommand::HelpCommand(FileOpener& opener, Dialogs& dialogs, EventLog& log, QString programFolder)
    : opener_(opener), dialogs_(dialogs), log_(log), folder_(std::move(programFolder)) {}

QString HelpCommand::failedText() {
    return QStringLiteral(
        "无法打开帮助（没有找到能打开它的浏览器）。\n帮助文件是：\n%1\n"
        "可以用浏览器打开这个文件。");
}

QString HelpCommand::helpFile() const {
    const QDir folder(folder_);
    const QString chm = folder.filePath(QStringLiteral("Chimora.chm"));
    return QFileInfo(chm).isFile() ? chm : folder.filePath(QStringLiteral("help/index.html"));
}

void HelpCommand::btn13Click() {
    const QString file = helpFile();
    if (opener_.open(file)) {
        log_.write(QStringLiteral("help"), file);
    } else {
        log_.write(QStringLiteral("help-failed"), file);
        dialogs_.notice(failedText().arg(QDir::toNativeSeparators(file)));
    }
}

void HelpCommand::writePage(const QString& programFolder, EventLog& log) {
    QFile source(QStringLiteral(":/help/index.html"));
    if (!source.open(QIODevice::ReadOnly)) {
        return;
    }
    const QByteArray page = source.readAll().replace(
        "@PROGRAM_FOLDER@", QDir::toNativeSeparators(programFolder).toHtmlEscaped().toUtf8());
    const QDir folder(programFolder);
    const QString file = folder.filePath(QStringLiteral("help/index.html"));
    QFile existing(file);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == page) {
        return;
    }
    if (!folder.mkpath(QStringLiteral("help")) || !wholefile::replace(file, page)) {
        log.write(QStringLiteral("help-failed"), file);
    }
}
