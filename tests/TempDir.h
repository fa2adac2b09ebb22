#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "QtPrint.h"

// A temporary folder for one test, removed with everything in it afterwards.
class TempDir {
  public:
    TempDir() { dir_.setAutoRemove(true); }
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return QDir(dir_.path()).filePath(name); }

    QString write(const QString& name, const QByteArray& bytes) const {
        QFile f(file(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    }
    QByteArray read(const QString& name) const {
        QFile f(file(name));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

  private:
    QTemporaryDir dir_;
};
