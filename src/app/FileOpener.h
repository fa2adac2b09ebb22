#pragma once

#include <QString>

// Opens a file with the desktop's default handler (a browser for a help page).
class FileOpener {
  public:
    virtual ~FileOpener() = default;
    // False when the desktop could not open it.
    virtual bool open(const QString& path) = 0;
};

// The real one: QDesktopServices, that is xdg-open or the desktop portal.
class DesktopFileOpener : public FileOpener {
  public:
    bool open(const QString& path) override;
};
