#include "media/MidiFile.h"

#include <algorithm>

namespace midifile {

namespace {

constexpr int kDrumChannel = 9;
constexpr int kDrumBank = 128;
constexpr std::int64_t kDefaultTempo = 500000;  // µs per quarter note: 120 bpm

// A message of one track before the tempo map turns its tick into time.
struct Timed {
    std::int64_t tick;
    int track;
    int order;           // within its track, so equal ticks keep the file's order
    std::int32_t tempo;  // > 0 for a tempo change, which carries no channel message
    Event event;
};

class Reader {
  public:
    Reader(const QByteArray& b, int from, int to) : b_(b), at_(from), end_(to) {}
    bool atEnd() const { return at_ >= end_; }
    bool has(int n) const { return n >= 0 && end_ - at_ >= n; }
    std::uint8_t byte() { return has(1) ? static_cast<std::uint8_t>(b_[at_++]) : fail(); }
    std::uint32_t be(int n) {
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i) {
            v = v << 8 | byte();
        }
        return v;
    }
    // A variable-length quantity: at most four bytes.
    std::uint32_t varLen() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            const std::uint8_t c = byte();
            v = v << 7 | (c & 0x7F);
            if ((c & 0x80) == 0) {
                return v;
            }
        }
        fail();
        return v;
    }
    void skip(std::uint32_t n) {
        if (n > static_cast<std::uint32_t>(end_ - at_)) {
            fail();
            at_ = end_;
        } else {
            at_ += static_cast<int>(n);
        }
    }
    int at() const { return at_; }
    bool failed() const { return failed_; }

  private:
    std::uint8_t fail() {
        failed_ = true;
        return 0;
    }
    const QByteArray& b_;
    int at_;
    int end_;
    bool failed_ = false;
};

int dataBytes(std::uint8_t status) {
    const int kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

// Reads one track's messages; false when the track is cut short or malformed.
bool readTrack(Reader& r, int track, std::vector<Timed>& out) {
    std::int64_t tick = 0;
    std::uint8_t running = 0;
    int order = 0;
    while (!r.atEnd()) {
        tick += r.varLen();
        std::uint8_t status = r.byte();
        if (r.failed()) {
            return false;
        }
        if (status == 0xFF) {  // meta event
            const std::uint8_t type = r.byte();
            const std::uint32_t length = r.varLen();
            if (type == 0x51 && length == 3) {
                const auto tempo = static_cast<std::int32_t>(r.be(3));
                out.push_back({tick, track, order++, std::max(tempo, 1), {}});
            } else {
                r.skip(length);
            }
            if (type == 0x2F) {
                out.push_back({tick, track, order++, 0, {}});  // the track's end counts in length
                return !r.failed();
            }
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {  // system exclusive: not played
            r.skip(r.varLen());
            continue;
        }
        if (status < 0x80) {  // running status: this byte is the first data byte
            if (running == 0) {
                return false;
            }
            Event e{0, running, status, 0};
            if (dataBytes(running) == 2) {
                e.data2 = r.byte();
            }
            out.push_back({tick, track, order++, 0, e});
        } else if (status >= 0xF0) {
            return false;  // a system common message has no place in a file
        } else {
            running = status;
            Event e{0, status, r.byte(), 0};
            if (dataBytes(status) == 2) {
                e.data2 = r.byte();
            }
            out.push_back({tick, track, order++, 0, e});
        }
        if (r.failed()) {
            return false;
        }
    }
    return true;  // no end-of-track event: what was read plays
}

}  // namespace

std::optional<Song> parse(const QByteArray& bytes, QString* error) {
    const auto refuse = [error](const char* why) -> std::optional<Song> {
        if (error != nullptr) {
            *error = QString::fromUtf8(why);
        }
        return std::nullopt;
    };
    Reader header(bytes, 0, static_cast<int>(bytes.size()));
    if (!bytes.startsWith("MThd")) {
        return refuse("不是 MIDI 文件");
    }
    header.skip(4);
    const std::uint32_t headerLength = header.be(4);
    const std::uint32_t format = header.be(2);
    const std::uint32_t tracks = header.be(2);
    const std::uint32_t division = header.be(2);
    if (header.failed() || headerLength < 6 || format > 2 || division == 0) {
        return refuse("MIDI 文件头损坏");
    }
    header.skip(headerLength - 6);

    std::vector<Timed> timed;
    for (std::uint32_t t = 0; t < tracks && !header.atEnd(); ++t) {
        const bool isTrack = header.has(8) && bytes.mid(header.at(), 4) == "MTrk";
        header.skip(4);
        const std::uint32_t length = header.be(4);
        if (header.failed()) {
            break;
        }
        const int from = header.at();
        const int to = static_cast<int>(std::min<std::int64_t>(
            static_cast<std::int64_t>(from) + length, static_cast<std::int64_t>(bytes.size())));
        header.skip(static_cast<std::uint32_t>(to - from));
        if (!isTrack) {
            continue;  // an unknown chunk is skipped, as the format asks
        }
        Reader track(bytes, from, to);
        if (!readTrack(track, static_cast<int>(t), timed) && timed.empty()) {
            return refuse("MIDI 音轨损坏");
        }
    }
    if (timed.empty()) {
        return refuse("MIDI 文件里没有音符");
    }
    // Format 2 holds independent songs; they play one after another like format 1's would
    // together, which is what a bell needs of such a rare file.
    std::stable_sort(timed.begin(), timed.end(), [](const Timed& a, const Timed& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.track < b.track;
    });

    Song song;
    const bool smpte = (division & 0x8000) != 0;
    // Time code: frames per second times ticks per frame; otherwise ticks per quarter note.
    const std::int64_t ticksPerSecond =
        smpte ? static_cast<std::int64_t>(256 - (division >> 8)) * (division & 0xFF) : 0;
    std::int64_t tempo = kDefaultTempo;
    std::int64_t lastTick = 0;
    double us = 0;
    int bank[16] = {};
    int program[16] = {};
    bool chosen[16] = {};
    for (const Timed& m : timed) {
        const std::int64_t delta = m.tick - lastTick;
        lastTick = m.tick;
        us += smpte ? (ticksPerSecond > 0 ? delta * 1e6 / ticksPerSecond : 0)
                    : static_cast<double>(delta) * static_cast<double>(tempo) / division;
        const auto now = static_cast<std::int64_t>(us);
        song.lengthUs = now;
        if (m.tempo > 0) {
            tempo = m.tempo;
            continue;
        }
        if (m.event.status == 0) {
            continue;  // a track's end
        }
        Event e = m.event;
        e.us = now;
        const int channel = e.status & 0x0F;
        switch (e.status & 0xF0) {
            case 0xB0:
                if (e.data1 == 0) {
                    bank[channel] = e.data2;
                }
                break;
            case 0xC0:
                program[channel] = e.data1;
                chosen[channel] = true;
                break;
            case 0x90:
                if (e.data2 > 0) {
                    if (!chosen[channel]) {
                        song.defaultPrograms |= static_cast<std::uint16_t>(1u << channel);
                    }
                    song.instruments.insert(
                        {channel == kDrumChannel ? kDrumBank : bank[channel], program[channel]});
                }
                break;
            default:
                break;
        }
        song.events.push_back(e);
    }
    return song;
}

}  // namespace midifile
