#pragma once

#include <QStringList>
#include <deque>

#include "core/Dialogs.h"

// Records every text shown and answers questions and file choices from a script.
class FakeDialogs : public Dialogs {
  public:
    bool question(const QString& text) override {
        questions << text;
        if (answers.empty()) {
            return false;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void notice(const QString& text) override { notices << text; }
    void errorReport(const QString& text) override { errors << text; }
    void message(const QString& text) override { messages << text; }
    void warning(const QString& caption, const QString& text) override {
        warnings << caption + QLatin1Char('|') + text;
    }
    void box(const QString& caption, const QString& text, Icon icon) override {
        boxes << caption + QLatin1Char('|') + text +
                     (icon == Icon::Error ? QStringLiteral("|error") : QStringLiteral("|info"));
    }
    QString chooseSoundFile() override {
        if (files.isEmpty()) {
            return {};
        }
        return files.takeFirst();
    }

    std::deque<bool> answers;
    QStringList files;
    QStringList questions, notices, errors, messages, warnings, boxes;
};
