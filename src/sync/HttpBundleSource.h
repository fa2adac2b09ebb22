#pragma once

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include "sync/BundleSource.h"

class QFile;
class QNetworkReply;

// A bundle a web server serves: GET of manifest.json and of each file under the version's
// folder, through Qt Network with the system's certificates. A redirect is followed only to the
// same scheme, host and port; each request gives up after 30 s without data.
class HttpBundleSource : public QObject, public BundleSource {
    Q_OBJECT
  public:
    explicit HttpBundleSource(const QUrl& folder);
    ~HttpBundleSource() override;

    void readManifest(ManifestDone done) override;
    void fetch(const bundle::Manifest& manifest, const QStringList& paths, const QString& staged,
               FetchDone done) override;

    // A manifest larger than this is not a manifest.
    static constexpr qint64 kMaxManifestBytes = 8 * 1024 * 1024;

  private:
    QNetworkReply* get(const QUrl& url);
    void fetchNext();
    void fileFinished(QNetworkReply& reply);
    void endFetch(const QString& why);
    // The reason a finished reply failed, or empty.
    static QString failure(QNetworkReply& reply);

    QUrl folder_;
    QNetworkAccessManager network_;
    QPointer<QNetworkReply> reply_;
    QString refused_;  // why the reply in progress was ended by this side

    struct Pending {
        QUrl url;
        QString path;
        QString target;
        qint64 size = 0;
    };
    std::vector<Pending> queue_;
    std::unique_ptr<QFile> file_;
    FetchDone fetchDone_;
};
