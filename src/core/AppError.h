#pragma once

#include <QString>
#include <exception>

// The error type every handler may raise. Its text is what the general error report shows;
// the guard around each handler catches it so the event loop goes on.
class AppError : public std::exception {
  public:
    explicit AppError(QString text) : text_(std::move(text)), utf8_(text_.toUtf8()) {}
    const QString& text() const noexcept { return text_; }
    const char* what() const noexcept override { return utf8_.constData(); }

  private:
    QString text_;
    QByteArray utf8_;
};
