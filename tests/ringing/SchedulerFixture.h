#pragma once

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>

#include "app/FormFixture.h"
#include "app/RadioGroup.h"
#include "randommusic/RandomPlaylist.h"
#include "ringing/RingScheduler.h"

constexpr std::array<bool, 7> kMonToFri{true, true, true, true, true, false, false};
constexpr std::array<bool, 7> kEveryDay{true, true, true, true, true, true, true};
constexpr std::array<bool, 7> kMondayOnly{true, false, false, false, false, false, false};
constexpr std::array<bool, 7> kSundayOff{true, true, true, true, true, true, false};

// The main window with automatic ringing on, driven second by second by the fake clock: each
// second the fake player plays on, queued notifications are delivered, then the ring tick runs.
struct SchedulerFixture : FormFixture {
    static QDateTime at(int day, int h, int m, int s) {
        // Day 0 is Monday 7 December 2026. UTC spares the week-long runs a time-zone
        // conversion at every step; the program treats any clock time alike.
        return QDateTime(QDate(2026, 12, 7).addDays(day), QTime(h, m, s), Qt::UTC);
    }

    TForm1& startRinging(const QDateTime& when) {
        clock.set(when);
        TForm1& f = start();
        f.chk1->setChecked(true);
        return f;
    }

    // One tick of the ring timer at `when`, after the player has played on to that moment.
    void tick(const QDateTime& when, qint64 playedMs = 1000) {
        clock.set(when);
        if (backend != nullptr) {
            backend->advance(playedMs);
        }
        QCoreApplication::sendPostedEvents();
        form->guard().run([this] { form->tmr1Timer(); });
        QCoreApplication::sendPostedEvents();
    }

    // One tick of the clock timer at `when`, after the player has played on for a second.
    void clockTick(const QDateTime& when) {
        clock.set(when);
        if (backend != nullptr) {
            backend->advance(1000);
        }
        QCoreApplication::sendPostedEvents();
        form->guard().run([this] { form->tmr2Timer(); });
        QCoreApplication::sendPostedEvents();
    }

    // Ticks once a second from `from` to `to`, both included.
    void run(const QDateTime& from, const QDateTime& to) {
        for (QDateTime t = from; t <= to; t = t.addSecs(1)) {
            tick(t);
        }
    }

    QString currentEvent() const { return form->dbsmtbl1.current().event; }
    QStringList rings() const { return log.of("ring"); }
};
