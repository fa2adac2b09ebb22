#pragma once

#include <QString>

// Marks the one running copy of the program: a lock file held with flock for the life of the
// process, holding its process id. The kernel drops the lock when the process ends, however it
// ends, so a crashed copy never blocks the next start.
class SingleInstance {
  public:
    // `folder` holds the lock file "Tollvane.lock": $XDG_RUNTIME_DIR, else the temp folder.
    explicit SingleInstance(const QString& folder = defaultFolder());
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when another copy holds the lock. When no lock file can be made at all the program
    // runs anyway: refusing to ring the bells over a lock file would be the worse fault.
    bool anotherIsRunning() const { return another_; }
    // Asks the running copy to show its window (it wrote its process id into the lock file);
    // false when there is no such copy to ask.
    bool askToShow() const;

    static QString defaultFolder();

  private:
    int fd_ = -1;
    bool another_ = false;
    long holder_ = 0;  // the running copy's process id, read when another holds the lock
};
