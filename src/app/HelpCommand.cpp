#include "app/HelpCommand.h"

#include <QDir>
#include <QFileInfo>

#include "app/FileOpener.h"
#include "core/EventLog.h"

HelpCommand::HelpCommand(FileOpener& opener, EventLog& log, QString programFolder)
    : opener_(opener), log_(log), folder_(std::move(programFolder)) {}

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
    }
}
