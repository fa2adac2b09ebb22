#pragma once

#include <QByteArray>
#include <QDir>
#include <optional>

// Sets (or with nullopt, removes) an environment variable for the life of the object, then puts
// back what was there, so no test leaks its settings into the next.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, std::optional<QByteArray> value) : name_(name) {
        if (qEnvironmentVariableIsSet(name)) {
            old_ = qgetenv(name);
        }
        set(std::move(value));
    }
    ~ScopedEnv() { set(old_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    void set(const std::optional<QByteArray>& value) const {
        if (value) {
            qputenv(name_, *value);
        } else {
            qunsetenv(name_);
        }
    }

  private:
    const char* name_;
    std::optional<QByteArray> old_;
};

// Changes the working directory for the life of the object, then returns to the old one.
class ScopedCurrentDir {
  public:
    explicit ScopedCurrentDir(const QString& path) : old_(QDir::currentPath()) {
        QDir::setCurrent(path);
    }
    ~ScopedCurrentDir() { QDir::setCurrent(old_); }
    ScopedCurrentDir(const ScopedCurrentDir&) = delete;
    ScopedCurrentDir& operator=(const ScopedCurrentDir&) = delete;

  private:
    QString old_;
};
