#include "sync/FolderBundleSource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "sync/BundleInstall.h"

FolderBundleSource::FolderBundleSource(QString folder, Background& background)
    : folder_(std::move(folder)), background_(background) {}

void FolderBundleSource::readManifest(ManifestDone done) {
    auto result = std::make_shared<std::pair<QByteArray, QString>>();
    background_.run(
        [folder = folder_, result] {
            QFile file(QDir(folder).filePath(bundle::kManifest));
            if (!file.open(QIODevice::ReadOnly)) {
                result->second =
                    QStringLiteral("无法读取 %1：%2").arg(file.fileName(), file.errorString());
                return;
            }
            result->first = file.read(8 * 1024 * 1024);
            if (result->first.isEmpty()) {
                result->second = QStringLiteral("清单是空的：") + file.fileName();
            }
        },
        [result, done = std::move(done)] { done(result->first, result->second); });
}

void FolderBundleSource::fetch(const bundle::Manifest& manifest, const QStringList& paths,
                               const QString& staged, FetchDone done) {
    bundle::Manifest wanted{manifest.version, {}};
    for (const bundle::File& f : manifest.files) {
        if (paths.contains(f.path)) {
            wanted.files.push_back(f);
        }
    }
    auto why = std::make_shared<QString>();
    background_.run([folder = folder_, wanted, staged,
                     why] { bundle::fetchFromFolder(folder, wanted, staged, why.get()); },
                    [why, done = std::move(done)] { done(*why); });
}
