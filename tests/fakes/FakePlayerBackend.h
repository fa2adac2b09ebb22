#pragma once

#include <QSet>
#include <QStringList>
#include <map>

#include "media/TMediaPlayer.h"

// A player back end with simulated time: nothing plays until the test advances it.
class FakePlayerBackend : public PlayerBackend {
  public:
    void open(const QString& file, TMPDeviceTypes type) override {
        if (broken.contains(file)) {
            throw EMCIDeviceError(QStringLiteral("The file is damaged: ") + file);
        }
        if (file == standby_) {
            ++swaps;  // made ready by prepare(): taken up
        }
        standby_.clear();
        opened << file;
        types << type;
        file_ = file;
        const auto it = lengths.find(file);
        length_ = it != lengths.end() ? it->second : defaultLength;
        position_ = 0;
        playing_ = false;
    }
    void openRecording(const QString& file) override {
        if (broken.contains(file)) {
            throw EMCIDeviceError(QStringLiteral("Not a recording file: ") + file);
        }
        opened << file;
        types << dtAutoSelect;
        file_ = file;
        length_ = 0;
        position_ = 0;
        playing_ = false;
    }
    void close() override {
        playing_ = false;
        recording_ = false;
        ++closes;
    }
    void play() override {
        playing_ = true;
        ++plays;
    }
    void stop() override {
        playing_ = false;
        recording_ = false;
    }
    void rewind() override { position_ = 0; }
    void startRecording() override { recording_ = true; }
    void save(const QString& file) override {
        recording_ = false;
        saved << file;
    }
    void prepare(const QString& file, TMPDeviceTypes) override {
        prepared << file;
        standby_ = file;
    }
    void dropPrepared() override { standby_.clear(); }
    qint64 positionMs() override { return position_; }
    qint64 lengthMs() override { return length_; }
    bool playing() const override { return playing_; }
    bool recording() const override { return recording_; }

    // Lets the playing sound run on; at its end the player is told, as a real device would.
    void advance(qint64 ms) {
        if (!playing_) {
            return;
        }
        position_ = std::min(position_ + ms, length_);
        if (position_ == length_) {
            playing_ = false;
            if (endOfStream) {
                endOfStream();
            }
        }
    }
    void runToEnd() { advance(length_ - position_); }

    // A failure while the sound plays: the playback ends with it.
    void failPlaying(const QString& reason) {
        playing_ = false;
        if (playbackFailed) {
            playbackFailed(file_, reason, QString());
        }
        if (endOfStream) {
            endOfStream();
        }
    }

    const QString& current() const { return file_; }
    // The file prepare() got ready and nothing has taken or dropped yet.
    const QString& standby() const { return standby_; }

    std::map<QString, qint64> lengths;
    qint64 defaultLength = 3000;
    QSet<QString> broken;
    QStringList opened;
    QList<TMPDeviceTypes> types;
    QStringList saved;
    QStringList prepared;
    int swaps = 0;
    int plays = 0;
    int closes = 0;

  private:
    QString file_;
    QString standby_;
    qint64 position_ = 0;
    qint64 length_ = 0;
    bool playing_ = false;
    bool recording_ = false;
};
