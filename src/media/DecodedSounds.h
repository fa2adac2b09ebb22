#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

class QProcess;
class QTimer;

// Sounds whose decoder would stay in the program's memory for good are decoded once, by a
// helper process, into a WAV file in a cache folder, and played from there. WMA needs FFmpeg:
// about 17 MB of libraries that a process keeps loaded once it has decoded one file.
//
// A copy belongs to one version of its file (its path, size and time of change), so a file
// replaced under the same name is decoded again. Until its copy is ready, and when the helper
// fails (a damaged file, a missing plug-in), the file plays itself: a bell never waits for the
// helper, and what is wrong with a file is said by the player as before.
class DecodedSounds {
  public:
    // The helper is run as `program arguments... IN OUT` and exits with 0 once OUT holds the
    // whole sound as WAV.
    struct Helper {
        QString program;
        QStringList arguments;
    };
    // Copies nobody played for this long are removed when the cache is opened.
    static constexpr int kKeepDays = 30;
    // A helper still running after this long is ended and its file plays itself.
    static constexpr int kHelperMs = 120000;

    DecodedSounds(const QString& folder, Helper helper);
    ~DecodedSounds();
    DecodedSounds(const DecodedSounds&) = delete;
    DecodedSounds& operator=(const DecodedSounds&) = delete;

    // True for the files that are played from a decoded copy.
    static bool wanted(const QString& file);
    // What to play for `file`: its decoded copy once that is ready, else the file itself, whose
    // copy is then started. Never waits for the helper.
    QString playable(const QString& file);

    // True while the file's copy is being made (or waits for the helper).
    bool pending(const QString& file) const;

    // Told after each helper run: the file and whether its copy was made (for tests).
    std::function<void(const QString& file, bool made)> onDecoded;

  private:
    // Where the copy of the file's present version goes; empty when the file cannot be read.
    QString copyPath(const QString& file) const;
    void startNext();
    void helperEnded(bool made);
    void removeStale();

    QString folder_;
    Helper helper_;
    std::deque<QString> waiting_;
    QSet<QString> failed_;  // copies the helper could not make: not tried again
    QProcess* process_ = nullptr;
    QProcess* ended_ = nullptr;
    QTimer* timeout_ = nullptr;
    QString decoding_;      // the file the helper works on
    QString decodingCopy_;  // and the copy it makes
};
