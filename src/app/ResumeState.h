#pragma once

#include <QString>
#include <optional>

// What a restarted program takes up after a crash: whether automatic ringing was on and the
// window hidden. Kept in a small file beside the single-instance lock, written at each change
// (rarely: a click, a hide), read only by a program the supervisor started again.
struct ResumeState {
    bool ringing = false;
    bool hidden = false;

    static QString defaultFile();
    // Nothing when the file is missing or not of this form.
    static std::optional<ResumeState> load(const QString& file);
    bool save(const QString& file) const;
};
