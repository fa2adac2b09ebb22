#include "sync/BundleFollower.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <algorithm>

#include "core/AppError.h"
#include "core/Clock.h"
#include "core/EventLog.h"
#include "sync/BundleInstall.h"

namespace {

QString versionFile(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("Cache/sync/version"));
}

QString readVersion(const QString& programFolder) {
    QFile file(versionFile(programFolder));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

void writeVersion(const QString& programFolder, const QString& version) {
    QDir().mkpath(QDir(programFolder).filePath(QStringLiteral("Cache/sync")));
    QSaveFile file(versionFile(programFolder));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(version.toUtf8() + '\n');
        file.commit();
    }
}

}  // namespace

BundleFollower::BundleFollower(std::unique_ptr<BundleSource> source, Background& background,
                               EventLog& log, const Clock& clock, QString programFolder,
                               int intervalMinutes, Installed installed)
    : source_(std::move(source)),
      background_(background),
      log_(log),
      clock_(clock),
      programFolder_(std::move(programFolder)),
      staging_(QDir(programFolder_).filePath(QStringLiteral("Cache/sync/staging"))),
      intervalSeconds_(std::clamp(intervalMinutes, 1, kMaxIntervalMinutes) * 60),
      installed_(std::move(installed)),
      version_(readVersion(programFolder_)),
      alive_(std::make_shared<bool>(true)) {}

BundleFollower::~BundleFollower() {
    *alive_ = false;
}

void BundleFollower::tick() {
    if (busy_) {
        return;
    }
    const QDateTime now = clock_.now();
    // A clock set back starts the count again rather than waiting for the old time.
    if (!began_ || now >= began_->addSecs(intervalSeconds_) || now < *began_) {
        syncNow();
    }
}

void BundleFollower::syncNow() {
    if (busy_) {
        again_ = true;
        return;
    }
    busy_ = true;
    began_ = clock_.now();
    std::weak_ptr<bool> alive = alive_;
    source_->readManifest([this, alive](const QByteArray& json, const QString& why) {
        if (!alive.expired()) {
            manifestRead(json, why);
        }
    });
}

void BundleFollower::manifestRead(const QByteArray& json, const QString& why) {
    if (!why.isEmpty()) {
        fail(why);
        return;
    }
    QString bad;
    const std::optional<bundle::Manifest> manifest = bundle::fromJson(json, &bad);
    if (!manifest) {
        fail(QStringLiteral("清单无法读取：") + bad);
        return;
    }
    if (manifest->version == version_) {
        succeed();
        return;
    }
    if (const auto refused = bundle::refusal(*manifest)) {
        fail(*refused);
        return;
    }
    auto toFetch = std::make_shared<QStringList>();
    std::weak_ptr<bool> alive = alive_;
    background_.run(
        [folder = programFolder_, staged = staging_, m = *manifest, toFetch] {
            QDir(staged).removeRecursively();
            *toFetch = bundle::reuseLocal(folder, m, staged);
        },
        [this, alive, m = *manifest, toFetch] {
            if (alive.expired()) {
                return;
            }
            source_->fetch(m, *toFetch, staging_, [this, alive, m](const QString& failed) {
                if (!alive.expired()) {
                    fetched(m, failed);
                }
            });
        });
}

void BundleFollower::fetched(const bundle::Manifest& manifest, const QString& why) {
    if (!why.isEmpty()) {
        fail(why);
        return;
    }
    struct Result {
        QStringList changed;
        QString why;
    };
    auto result = std::make_shared<Result>();
    std::weak_ptr<bool> alive = alive_;
    background_.run(
        [folder = programFolder_, staged = staging_, manifest, result, now = clock_.now()] {
            const std::optional<bundle::Checked> checked =
                bundle::check(staged, manifest, &result->why);
            if (checked) {
                try {
                    result->changed = bundle::install(folder, staged, manifest, *checked, now);
                    writeVersion(folder, manifest.version);
                } catch (const AppError& e) {
                    result->why = e.text();
                }
            }
            QDir(staged).removeRecursively();
        },
        [this, alive, manifest, result] {
            if (!alive.expired()) {
                taken(manifest, result->changed, result->why);
            }
        });
}

void BundleFollower::taken(const bundle::Manifest& manifest, const QStringList& changed,
                           const QString& why) {
    if (!why.isEmpty()) {
        fail(why);
        return;
    }
    version_ = manifest.version;
    backAfterFailure();
    log_.write(
        QStringLiteral("sync"),
        version_ + QLatin1Char(' ') +
            (changed.isEmpty() ? QStringLiteral("没有变化") : changed.join(QStringLiteral("、"))));
    if (!changed.isEmpty() && installed_) {
        installed_(changed);
    }
    succeed();
}

void BundleFollower::fail(const QString& why) {
    if (why != lastFailure_) {
        log_.write(QStringLiteral("sync-failed"), why);
        lastFailure_ = why;
    }
    endRound();
}

void BundleFollower::backAfterFailure() {
    if (!lastFailure_.isEmpty()) {
        log_.write(QStringLiteral("sync-back"));
        lastFailure_.clear();
    }
}

void BundleFollower::succeed() {
    backAfterFailure();
    lastSync_ = clock_.now();
    endRound();
}

void BundleFollower::endRound() {
    busy_ = false;
    if (roundEnded) {
        roundEnded();
    }
    if (again_) {
        again_ = false;
        syncNow();
    }
}
