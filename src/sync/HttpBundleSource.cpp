#include "sync/HttpBundleSource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <algorithm>

namespace {

constexpr int kTransferTimeoutMs = 30000;

}  // namespace

HttpBundleSource::HttpBundleSource(const QUrl& folder) : folder_(folder) {
    if (!folder_.path().endsWith(QLatin1Char('/'))) {
        folder_.setPath(folder_.path() + QLatin1Char('/'));
    }
}

HttpBundleSource::~HttpBundleSource() {
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
    }
}

QNetworkReply* HttpBundleSource::get(const QUrl& url) {
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setRawHeader("Cache-Control", "no-cache");
    request.setTransferTimeout(kTransferTimeoutMs);
    refused_.clear();
    QNetworkReply* reply = network_.get(request);
    connect(reply, &QNetworkReply::redirected, this, [this, reply](const QUrl& to) {
        const QUrl target = reply->url().resolved(to);
        if (target.scheme() == folder_.scheme() && target.host() == folder_.host() &&
            target.port() == folder_.port()) {
            emit reply->redirectAllowed();
            return;
        }
        refused_ = QStringLiteral("拒绝跳转到其他服务器：") + target.toDisplayString();
        reply->abort();
    });
    reply_ = reply;
    return reply;
}

QString HttpBundleSource::failure(QNetworkReply& reply) {
    const QString url = reply.url().toDisplayString();
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply.error() == QNetworkReply::NoError && status == 200) {
        return {};
    }
    if (status != 0 && status != 200) {
        return QStringLiteral("%1：HTTP %2").arg(url).arg(status);
    }
    return QStringLiteral("%1：%2").arg(url, reply.errorString());
}

void HttpBundleSource::readManifest(ManifestDone done) {
    QNetworkReply* reply = get(folder_.resolved(QUrl(bundle::kManifest)));
    connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64 received) {
        if (received > kMaxManifestBytes) {
            refused_ = QStringLiteral("清单超过 8 MB：") + reply->url().toDisplayString();
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, done = std::move(done)] {
        reply->deleteLater();
        const QString why = refused_.isEmpty() ? failure(*reply) : refused_;
        if (!why.isEmpty()) {
            done({}, why);
            return;
        }
        done(reply->readAll(), {});
    });
}

void HttpBundleSource::fetch(const bundle::Manifest& manifest, const QStringList& paths,
                             const QString& staged, FetchDone done) {
    fetchDone_ = std::move(done);
    queue_.clear();
    for (const bundle::File& f : manifest.files) {
        if (!paths.contains(f.path)) {
            continue;
        }
        QUrl relative;
        relative.setPath(manifest.version + QLatin1Char('/') + f.path);
        queue_.push_back(
            {folder_.resolved(relative), f.path, QDir(staged).filePath(f.path), f.size});
    }
    std::reverse(queue_.begin(), queue_.end());
    fetchNext();
}

void HttpBundleSource::fetchNext() {
    if (queue_.empty()) {
        endFetch({});
        return;
    }
    const Pending& next = queue_.back();
    QDir().mkpath(QFileInfo(next.target).absolutePath());
    file_ = std::make_unique<QFile>(next.target);
    if (!file_->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        endFetch(QStringLiteral("无法写入暂存文件：") + next.target);
        return;
    }
    QNetworkReply* reply = get(next.url);
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] {
        const QByteArray data = reply->readAll();
        if (file_->size() + data.size() > queue_.back().size) {
            refused_ = QStringLiteral("文件比清单里的大：") + queue_.back().path;
            reply->abort();
            return;
        }
        if (file_->write(data) != data.size()) {
            refused_ = QStringLiteral("无法写入暂存文件：") + queue_.back().target;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { fileFinished(*reply); });
}

void HttpBundleSource::fileFinished(QNetworkReply& reply) {
    reply.deleteLater();
    if (refused_.isEmpty() && reply.error() == QNetworkReply::NoError) {
        const QByteArray rest = reply.readAll();
        if (file_->size() + rest.size() > queue_.back().size) {
            refused_ = QStringLiteral("文件比清单里的大：") + queue_.back().path;
        } else {
            file_->write(rest);
        }
    }
    const QString why = refused_.isEmpty() ? failure(reply) : refused_;
    file_->close();
    if (!why.isEmpty()) {
        endFetch(why);
        return;
    }
    queue_.pop_back();
    fetchNext();
}

void HttpBundleSource::endFetch(const QString& why) {
    file_.reset();
    queue_.clear();
    FetchDone done = std::move(fetchDone_);
    fetchDone_ = nullptr;
    if (done) {
        done(why);
    }
}
