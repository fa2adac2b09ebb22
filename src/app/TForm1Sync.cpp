#include <QGroupBox>
#include <QPushButton>
#include <QToolButton>

#include "app/TForm1.h"
#include "core/Clock.h"
#include "core/EventLog.h"
#include "core/SettingsKeys.h"
#include "ringing/RingScheduler.h"
#include "schedule/RunModeSelection.h"
#include "scheduleui/ScheduleGrid.h"
#include "sync/BundleFollower.h"

namespace {

constexpr int kDefaultIntervalMinutes = 5;

}  // namespace

void TForm1::startFollowing() {
    followedSource_ = settings_.readString(settings::kSync, settings::kSyncSource).trimmed();
    if (followedSource_.isEmpty() || !services_.bundleSource || !background_) {
        return;
    }
    int interval =
        settings_.readInteger(settings::kSync, settings::kSyncInterval, kDefaultIntervalMinutes);
    if (interval < 1) {
        interval = kDefaultIntervalMinutes;
    }
    follower_ = std::make_unique<BundleFollower>(
        services_.bundleSource(followedSource_, *background_), *background_, services_.log,
        services_.clock, services_.programFolder, interval, [this](const QStringList& changed) {
            guard_.run([this, changed] { bundleInstalled(changed); });
        });
    follower_->roundEnded = [this] { showFollowerState(); };
    services_.log.write(QStringLiteral("sync-follow"),
                        QStringLiteral("%1 每 %2 分钟").arg(followedSource_).arg(interval));
    applyRingingLock(bell_.ringing());
    btnCalendar->setEnabled(false);
    showFollowerState();
    follower_->syncNow();
}

void TForm1::bundleInstalled(const QStringList& changed) {
    if (changed.contains(QStringLiteral("calendar.dat"))) {
        calendarBook_.load();
        showCalendarDay();
    }
    if (!dbsmtbl1.isOpen()) {
        rg1Click();  // the table that could not be opened may be there now
        return;
    }
    if (changed.contains(dbsmtbl1.name())) {
        const int row = dbsmtbl1.recNo();
        dbsmtbl1.open(dbsmtbl1.name());
        dbsmtbl1.setRecNo(row);
        dbsmdbgrd1->applyLayout();
        scheduler_->tableReplaced();
    }
}

void TForm1::showFollowerState() {
    const std::optional<QDateTime>& last = follower_->lastSync();
    const QString note =
        QStringLiteral(
            "时间表、校历和声音由学校统一发布：%1\n%2\n要修改，请在发布的电脑上修改后重新发布。")
            .arg(followedSource_, last
                                      ? QStringLiteral("上次同步：") +
                                            last->toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                      : QStringLiteral("还没有同步成功，正在使用本机已有的时间表"));
    grp1->setTitle(QStringLiteral("设置项目（学校统一）"));
    grp1->setToolTip(note);
    btnCalendar->setToolTip(QStringLiteral("校历\n") + note);
    for (QWidget* w : editingLocks()) {
        w->setToolTip(note);
    }
    for (QPushButton* b : {btn2, btn4, btn5, btn8}) {
        b->setToolTip(note);
    }
    dbsmdbgrd1->setToolTip(note);
}
