#pragma once

#include "sync/BundleSource.h"

// A bundle on a folder the PC can read (a mounted share): read and copied on another thread, so
// a slow or hung share never holds up the window.
class FolderBundleSource : public BundleSource {
  public:
    FolderBundleSource(QString folder, Background& background);

    void readManifest(ManifestDone done) override;
    void fetch(const bundle::Manifest& manifest, const QStringList& paths, const QString& staged,
               FetchDone done) override;

  private:
    QString folder_;
    Background& background_;
};
