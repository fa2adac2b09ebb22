#include "sync/BundleSource.h"

#include <QFutureWatcher>
#include <QUrl>
#include <QtConcurrent/QtConcurrentRun>

#include "sync/FolderBundleSource.h"
#include "sync/HttpBundleSource.h"

PoolBackground::PoolBackground() = default;

PoolBackground::~PoolBackground() = default;

void PoolBackground::run(std::function<void()> work, std::function<void()> done) {
    // The watcher belongs to this object: once it is gone, `done` is never called.
    auto* watcher = new QFutureWatcher<void>(&context_);
    QObject::connect(watcher, &QFutureWatcher<void>::finished, &context_,
                     [watcher, done = std::move(done)] {
                         watcher->deleteLater();
                         done();
                     });
    watcher->setFuture(QtConcurrent::run(std::move(work)));
}

std::unique_ptr<BundleSource> makeBundleSource(const QString& source, Background& background) {
    const QUrl url(source);
    if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")) {
        return std::make_unique<HttpBundleSource>(url);
    }
    if (url.isLocalFile()) {
        return std::make_unique<FolderBundleSource>(url.toLocalFile(), background);
    }
    return std::make_unique<FolderBundleSource>(source, background);
}
