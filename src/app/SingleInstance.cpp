#include "app/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstdlib>

SingleInstance::SingleInstance(const QString& folder) {
    const QByteArray path =
        QFile::encodeName(QDir(folder).filePath(QStringLiteral("Tollvane.lock")));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        another_ = errno == EWOULDBLOCK;
        char text[24] = {};
        if (another_ && ::pread(fd, text, sizeof text - 1, 0) > 0) {
            holder_ = std::strtol(text, nullptr, 10);
        }
        ::close(fd);
        return;
    }
    fd_ = fd;
    const QByteArray pid = QByteArray::number(static_cast<qint64>(::getpid())) + '\n';
    if (::ftruncate(fd_, 0) != 0 || ::pwrite(fd_, pid.constData(), pid.size(), 0) != pid.size()) {
        return;  // a second start then only says that the program runs
    }
}

SingleInstance::~SingleInstance() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool SingleInstance::askToShow() const {
    // The holder is alive: it holds the lock. A copy that wrote no id is not asked.
    return another_ && holder_ > 0 && ::kill(static_cast<pid_t>(holder_), SIGUSR1) == 0;
}

QString SingleInstance::defaultFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QDir(runtime).exists() ? runtime : QDir::tempPath();
}
