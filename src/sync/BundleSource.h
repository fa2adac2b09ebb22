#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "table/Bundle.h"

// Where a follower reads the school's bundle: a web server's folder or a shared folder. Each
// call returns at once and reports later, on the thread that made the call, so nothing waits on
// the network in a handler.
class BundleSource {
  public:
    virtual ~BundleSource() = default;

    // The manifest's bytes, or (empty bytes) the reason it could not be read.
    using ManifestDone = std::function<void(const QByteArray& json, const QString& why)>;
    // An empty reason when every file came.
    using FetchDone = std::function<void(const QString& why)>;

    virtual void readManifest(ManifestDone done) = 0;
    // Fetches `paths` of the manifest's version into `staged`, each at the path the manifest
    // gives it; a file longer than the manifest says is refused as it comes.
    virtual void fetch(const bundle::Manifest& manifest, const QStringList& paths,
                       const QString& staged, FetchDone done) = 0;
};

// Runs work off the window's thread: `work` on another thread, then `done` back on the caller's.
class Background {
  public:
    virtual ~Background() = default;
    virtual void run(std::function<void()> work, std::function<void()> done) = 0;
};

// The thread pool's Background.
class PoolBackground : public Background {
  public:
    PoolBackground();
    ~PoolBackground() override;
    void run(std::function<void()> work, std::function<void()> done) override;

  private:
    QObject context_;
};

// The source a `[Sync] Source=` value names: an http:// or https:// URL, or a folder (a path
// or a file:// URL).
std::unique_ptr<BundleSource> makeBundleSource(const QString& source, Background& background);
