#include "scheduleui/ScheduleEditor.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "core/Clock.h"
#include "core/Dialogs.h"
#include "core/EventLog.h"
#include "core/ProgramFolder.h"
#include "core/TimeOfDay.h"
#include "schedule/ScheduleTable.h"
#include "schedule/TableBackup.h"
#include "scheduleui/ScheduleGrid.h"

ScheduleEditor::ScheduleEditor(Controls controls, ScheduleTable& table, Dialogs& dialogs,
                               EventLog& log, const Clock& clock, int& editRecNo,
                               QString programFolder, std::function<void()> showRandomMusic)
    : c_(controls),
      table_(table),
      dialogs_(dialogs),
      log_(log),
      clock_(clock),
      editRecNo_(editRecNo),
      folder_(std::move(programFolder)),
      showRandomMusic_(std::move(showRandomMusic)) {}

QString ScheduleEditor::incompleteText() {
    return QStringLiteral("设置信息不完整，请补充完整");
}
QString ScheduleEditor::duplicateTimeText() {
    return QStringLiteral("此时间设置有重复，请重新设置时间");
}
QString ScheduleEditor::takenTimeText() {
    return QStringLiteral("与表中所指项目的时间相同");
}
QString ScheduleEditor::confirmSaveText() {
    return QStringLiteral("确实要修改这个项目吗？");
}
QString ScheduleEditor::confirmDeleteText() {
    return QStringLiteral("确实要删除这个项目吗？");
}
QString ScheduleEditor::confirmClearText() {
    return QStringLiteral("确实要删除所有的项目吗？");
}
QString ScheduleEditor::controlCharacterText() {
    return QStringLiteral("事件和声音文件里不能有换行、制表符等控制字符");
}
QString ScheduleEditor::replaceRandomText() {
    return QStringLiteral("该事件为随机音乐，确认更改为播放其他音乐吗？");
}

ScheduleRow ScheduleEditor::fromGroup() const {
    // A typed value counts, clamped to the field's range, even if the field still has the focus.
    for (QSpinBox* field : {&c_.hour, &c_.minute, &c_.second}) {
        field->interpretText();
    }
    ScheduleRow row;
    row.hour = c_.hour.value();
    row.minute = c_.minute.value();
    row.second = c_.second.value();
    row.event = c_.event.text();
    row.sound = c_.sound.text();
    for (size_t d = 0; d < 7; ++d) {
        row.days[d] = c_.days[d]->isChecked();
    }
    return row;
}

bool ScheduleEditor::refusedForControlCharacters(const ScheduleRow& row) {
    if (!schedule::hasControlCharacter(row.event) && !schedule::hasControlCharacter(row.sound)) {
        return false;
    }
    dialogs_.notice(controlCharacterText());
    return true;
}

void ScheduleEditor::resetGroup() {
    for (QCheckBox* day : c_.days) {
        day->setChecked(true);
    }
    c_.event.clear();
    c_.sound.clear();
}

void ScheduleEditor::log(const QString& kind, const ScheduleRow& row, const QString& extra) {
    QString details = table_.filePath() + QLatin1Char(' ') +
                      tod::hms(QTime(row.hour, row.minute, row.second)) + QLatin1Char(' ') +
                      row.event;
    if (!extra.isEmpty()) {
        details += QLatin1Char(' ') + extra;
    }
    log_.write(kind, details);
}

void ScheduleEditor::dbsmdbgrd1DblClick() {
    if (!table_.isOpen() || table_.recNo() <= 0) {
        return;
    }
    const ScheduleRow& row = table_.current();
    c_.hour.setValue(row.hour);
    c_.minute.setValue(row.minute);
    c_.second.setValue(row.second);
    c_.event.setText(row.event);
    c_.sound.setText(row.sound);
    for (size_t d = 0; d < 7; ++d) {
        c_.days[d]->setChecked(row.days[d]);
    }
    editRecNo_ = table_.recNo();
    loaded_ = row;
    loadedFrom_ = table_.filePath();
    c_.save.setEnabled(true);
}

void ScheduleEditor::btn2Click() {
    const ScheduleRow row = fromGroup();
    if (row.event.isEmpty() || row.sound.isEmpty()) {
        dialogs_.notice(incompleteText());
        return;
    }
    if (refusedForControlCharacters(row)) {
        return;
    }
    if (table_.locate(row.hour, row.minute, row.second)) {
        dialogs_.notice(duplicateTimeText());  // the row that has the time is highlighted
        return;
    }
    table_.append(row);
    log(QStringLiteral("row-add"), row);
    table_.next();
    if (table_.eof()) {
        table_.setRecNo(table_.rowCount());  // the new row was the last
    }
    resetGroup();
}

void ScheduleEditor::btn5Click() {
    const ScheduleRow row = fromGroup();
    if (refusedForControlCharacters(row)) {
        return;
    }
    // The loaded row, wherever it stands now; gone when it was deleted, the table cleared or
    // another table opened (ids belong to one table file).
    const auto stillThere = [this]() -> std::optional<qint64> {
        if (!loaded_ || !table_.isOpen() || table_.filePath() != loadedFrom_) {
            return std::nullopt;
        }
        for (const ScheduleRow& r : table_.rows()) {
            if (r.id == loaded_->id) {
                return r.id;
            }
        }
        return std::nullopt;
    };
    const std::optional<qint64> target = stillThere();
    if (table_.locate(row.hour, row.minute, row.second) &&
        (!target || table_.current().id != *target)) {
        dialogs_.notice(takenTimeText());
        if (target) {
            table_.locateId(*target);
        }
        return;
    }
    if (!dialogs_.question(confirmSaveText())) {
        return;
    }
    if (target) {
        table_.changeRow(*target, row);
        log(QStringLiteral("row-save"), row);
    } else {
        table_.append(row);  // the loaded row is gone: the edited event is added
        log(QStringLiteral("row-add"), row);
    }
    loaded_.reset();
    c_.save.setEnabled(false);
    resetGroup();
}

void ScheduleEditor::btn4Click() {
    if (!dialogs_.question(confirmDeleteText())) {
        return;
    }
    if (!table_.isOpen() || table_.recNo() < 1) {
        return;
    }
    const ScheduleRow row = table_.current();
    table_.deleteCurrent();
    log(QStringLiteral("row-delete"), row);
}

void ScheduleEditor::btn8Click() {
    if (!dialogs_.question(confirmClearText())) {
        return;
    }
    const QString name = table_.name();
    const QString file = table_.filePath();
    // A copy first, so a mistaken OK costs nothing; without a copy the table is not emptied.
    const QString copy = schedule::backupTable(file, clock_.now());
    table_.close();
    table_.emptyTable(name);
    table_.open(name);
    c_.grid.applyLayout();
    log_.write(QStringLiteral("table-clear"), file + QLatin1Char(' ') + copy);
}

void ScheduleEditor::btn1Click() {
    if (c_.sound.text() == schedule::kRandomMusic && !dialogs_.question(replaceRandomText())) {
        return;
    }
    const QString chosen = dialogs_.chooseSoundFile();
    if (!chosen.isEmpty()) {
        // Relative inside the program folder, so the folder works on another PC.
        c_.sound.setText(programfolder::stored(folder_, chosen));
    }
}

void ScheduleEditor::btn11Click() {
    c_.sound.setText(schedule::kRandomMusic);
    showRandomMusic_();
}
