#include "app/ResumeState.h"

#include <QDir>
#include <QFile>

#include "app/SingleInstance.h"
#include "core/WholeFile.h"

QString ResumeState::defaultFile() {
    return QDir(SingleInstance::defaultFolder()).filePath(QStringLiteral("Tollvane.resume"));
}

std::optional<ResumeState> ResumeState::load(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray text = f.read(64);
    if (text.size() != 4 || !text.startsWith("R") || text[3] != '\n') {
        return std::nullopt;
    }
    return ResumeState{text[1] == '1', text[2] == '1'};
}

bool ResumeState::save(const QString& file) const {
    const QByteArray text = QByteArray("R") + (ringing ? '1' : '0') + (hidden ? '1' : '0') + '\n';
    return wholefile::replace(file, text);
}
