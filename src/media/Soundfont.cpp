#include "media/Soundfont.h"

#include <QDir>
#include <QFileInfo>

namespace media {

QString findSoundfont(const QStringList& folders) {
    const QString chosen = qEnvironmentVariable("TOLLVANE_SOUNDFONT");
    if (!chosen.isEmpty() && QFileInfo(chosen).isFile()) {
        return chosen;
    }
    const QStringList preferred = {QStringLiteral("default-GM.sf2"),
                                   QStringLiteral("FluidR3_GM.sf2"),
                                   QStringLiteral("TimGM6mb.sf2")};
    for (const QString& folder : folders) {
        const QDir dir(folder);
        for (const QString& name : preferred) {
            if (QFileInfo(dir.filePath(name)).isFile()) {
                return dir.filePath(name);
            }
        }
        const QStringList any = dir.entryList({QStringLiteral("*.sf2"), QStringLiteral("*.SF2")},
                                              QDir::Files, QDir::Name);
        for (const QString& name : any) {
            if (QFileInfo(dir.filePath(name)).isFile()) {  // a dangling link is no soundfont
                return dir.filePath(name);
            }
        }
    }
    return {};
}

}  // namespace media
