#pragma once

#include <QString>
#include <exception>

// The error type every handler may raise. Its text is what the general error report shows;
// the guard around each handler catches it so the event loop goes on. The detail (for example
// GStreamer's debug text) goes to the event log only.
class AppError : public std::exception {
  public:
    explicit AppError(QString text, QString detail = {})
        : text_(std::move(text)), detail_(std::move(detail)), utf8_(text_.toUtf8()) {}
    const QString& text() const noexcept { return text_; }
    const QString& detail() const noexcept { return detail_; }
    const char* what() const noexcept override { return utf8_.constData(); }

  private:
    QString text_;
    QString detail_;
    QByteArray utf8_;
};
