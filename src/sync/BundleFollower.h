#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "sync/BundleSource.h"

class Clock;
class EventLog;

// A bell PC that follows the school's bundle. A round reads the manifest; a version the PC does
// not have yet is fetched into Cache/sync/staging (a sound the PC already has is copied from it
// rather than fetched), checked whole, and only then taken into the program folder. Whatever
// fails, nothing local changes and the PC rings what it has; the log says each distinct
// failure once ("sync-failed"), the first round that works after one ("sync-back"), and each
// version taken in ("sync").
class BundleFollower {
  public:
    // Told on the window's thread after a version was taken in, with what changed.
    using Installed = std::function<void(const QStringList& changed)>;
    // A longer interval (a typing slip in config.ini) is taken as a week.
    static constexpr int kMaxIntervalMinutes = 7 * 24 * 60;

    BundleFollower(std::unique_ptr<BundleSource> source, Background& background, EventLog& log,
                   const Clock& clock, QString programFolder, int intervalMinutes,
                   Installed installed);
    ~BundleFollower();

    // A round now (start-up, the 12:12:12 re-selection); one in progress is followed by another.
    void syncNow();
    // The clock's tick: a round when the interval has passed since the last one began.
    void tick();

    bool busy() const { return busy_; }
    // When a round last confirmed that the PC has the school's current version.
    const std::optional<QDateTime>& lastSync() const { return lastSync_; }
    const QString& version() const { return version_; }
    // Called when a round ends, whatever it came to.
    std::function<void()> roundEnded;

  private:
    void manifestRead(const QByteArray& json, const QString& why);
    void fetched(const bundle::Manifest& manifest, const QString& why);
    void taken(const bundle::Manifest& manifest, const QStringList& changed, const QString& why);
    void fail(const QString& why);
    void succeed();
    void backAfterFailure();
    void endRound();

    std::unique_ptr<BundleSource> source_;
    Background& background_;
    EventLog& log_;
    const Clock& clock_;
    QString programFolder_;
    QString staging_;
    int intervalSeconds_;
    Installed installed_;

    bool busy_ = false;
    bool again_ = false;
    std::optional<QDateTime> began_;  // when the last round began
    std::optional<QDateTime> lastSync_;
    QString version_;      // the version the program folder holds
    QString lastFailure_;  // the reason of the failure in a row, empty after a round that worked
    std::shared_ptr<bool> alive_;
};
