#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <set>
#include <utility>
#include <vector>

// A Standard MIDI File read into one list of channel messages in playing order, each at its time
// in microseconds (the tempo map of all tracks applied), with the instruments it plays, so the
// synthesiser can have their samples ready before the first note.
namespace midifile {

struct Event {
    std::int64_t us = 0;      // from the start of the file
    std::uint8_t status = 0;  // 0x80..0xEF: a channel message
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
};

struct Song {
    std::vector<Event> events;
    std::int64_t lengthUs = 0;  // the time of the last event of any track
    // The (bank, program) pairs that sound a note; bank 128 is the drum bank of channel 10.
    std::set<std::pair<int, int>> instruments;
    // The channels that sound a note before choosing an instrument, which plays program 0
    // (bit per channel).
    std::uint16_t defaultPrograms = 0;
};

// Null with the reason in `error` when the bytes are not a MIDI file this reader understands.
std::optional<Song> parse(const QByteArray& bytes, QString* error = nullptr);

}  // namespace midifile
