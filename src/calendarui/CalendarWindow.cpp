#include "calendarui/CalendarWindow.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "calendar/CalendarBook.h"
#include "core/Dialogs.h"
#include "core/EventLog.h"
#include "core/HandlerGuard.h"
#include "core/TimeOfDay.h"

namespace {

using Kind = CalendarEntry::Kind;

QLabel* labelFor(const QString& text, QWidget* control, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(control);
    control->setAccessibleName(text);
    return label;
}

}  // namespace

CalendarWindow::CalendarWindow(CalendarBook& book, Dialogs& dialogs, EventLog& log,
                               HandlerGuard& guard, QWidget* parent)
    : QDialog(parent), book_(book), dialogs_(dialogs), log_(log), guard_(guard) {
    setWindowTitle(QStringLiteral("校历"));
    resize(620, 360);
    list = new QTableWidget(0, 6, this);
    list->setHorizontalHeaderLabels({QStringLiteral("类型"), QStringLiteral("开始"),
                                     QStringLiteral("结束"), QStringLiteral("按星期"),
                                     QStringLiteral("运行模式"), QStringLiteral("说明")});
    list->setAccessibleName(QStringLiteral("校历"));
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->verticalHeader()->hide();
    list->horizontalHeader()->setStretchLastSection(true);

    kind = new QComboBox(this);
    kind->addItems({CalendarEntry::kindText(Kind::Holiday), CalendarEntry::kindText(Kind::Makeup),
                    CalendarEntry::kindText(Kind::Switch)});
    from = new QDateEdit(this);
    to = new QDateEdit(this);
    for (QDateEdit* edit : {from, to}) {
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        edit->setCalendarPopup(true);
        edit->setDate(QDate::currentDate());
    }
    weekday = new QComboBox(this);
    for (int d = 1; d <= 7; ++d) {
        weekday->addItem(QStringLiteral("星期") + tod::dayChar(d));
    }
    runMode = new QComboBox(this);
    runMode->addItems({CalendarEntry::runModeText(1), CalendarEntry::runModeText(2)});
    note = new QLineEdit(this);
    add = new QPushButton(QStringLiteral("添加"), this);
    remove = new QPushButton(QStringLiteral("删除所选"), this);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(list, 0, 0, 1, 6);
    const std::pair<QString, QWidget*> fields[] = {
        {QStringLiteral("类型"), kind},        {QStringLiteral("开始"), from},
        {QStringLiteral("结束"), to},          {QStringLiteral("按星期"), weekday},
        {QStringLiteral("运行模式"), runMode}, {QStringLiteral("说明"), note}};
    int column = 0;
    for (const auto& [text, control] : fields) {
        grid->addWidget(labelFor(text, control, this), 1, column);
        grid->addWidget(control, 2, column);
        ++column;
    }
    grid->addWidget(add, 3, 3);
    grid->addWidget(remove, 3, 4);
    grid->addWidget(close, 3, 5);

    connect(kind, &QComboBox::currentIndexChanged, this, [this] { kindChanged(); });
    connect(from, &QDateEdit::dateChanged, this, [this](const QDate& date) {
        if (to->date() < date || kind->currentIndex() != 0) {
            to->setDate(date);
        }
    });
    guard_.connect(add, &QPushButton::clicked, this, [this] { addClick(); });
    guard_.connect(remove, &QPushButton::clicked, this, [this] { removeClick(); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    kindChanged();
    refresh();
}

void CalendarWindow::kindChanged() {
    const auto k = static_cast<Kind>(kind->currentIndex());
    to->setEnabled(k == Kind::Holiday);
    weekday->setEnabled(k == Kind::Makeup);
    runMode->setEnabled(k == Kind::Switch);
    if (k != Kind::Holiday) {
        to->setDate(from->date());
    }
}

void CalendarWindow::refresh() {
    const std::vector<CalendarEntry>& entries = book_.calendar().entries();
    list->setRowCount(static_cast<int>(entries.size()));
    for (int row = 0; row < list->rowCount(); ++row) {
        const CalendarEntry& e = entries[static_cast<size_t>(row)];
        const QStringList cells = {
            CalendarEntry::kindText(e.kind),
            e.from.toString(Qt::ISODate),
            e.kind == Kind::Holiday && e.to != e.from ? e.to.toString(Qt::ISODate) : QString(),
            e.weekday > 0 ? QStringLiteral("星期") + tod::dayChar(e.weekday) : QString(),
            CalendarEntry::runModeText(e.runMode),
            e.note};
        for (int column = 0; column < cells.size(); ++column) {
            list->setItem(row, column, new QTableWidgetItem(cells[column]));
        }
    }
    list->resizeColumnsToContents();
}

void CalendarWindow::addClick() {
    CalendarEntry entry;
    entry.kind = static_cast<Kind>(kind->currentIndex());
    entry.from = from->date();
    entry.to = entry.kind == Kind::Holiday ? to->date() : entry.from;
    entry.weekday = entry.kind == Kind::Makeup ? weekday->currentIndex() + 1 : 0;
    entry.runMode = entry.kind == Kind::Switch ? runMode->currentIndex() + 1 : 0;
    entry.note = note->text().trimmed();
    const QString refused = book_.add(entry);
    if (!refused.isEmpty()) {
        dialogs_.notice(QStringLiteral("不能添加：%1").arg(refused));
        return;
    }
    log_.write(QStringLiteral("calendar-add"), entry.describe());
    note->clear();
    refresh();
    if (changed) {
        changed();
    }
}

void CalendarWindow::removeClick() {
    const int row = list->currentRow();
    if (row < 0 || row >= static_cast<int>(book_.calendar().entries().size())) {
        return;
    }
    const QString gone = book_.calendar().entries()[static_cast<size_t>(row)].describe();
    if (!dialogs_.question(QStringLiteral("确实要删除这一条校历吗？\n%1").arg(gone))) {
        return;
    }
    book_.remove(static_cast<size_t>(row));
    log_.write(QStringLiteral("calendar-delete"), gone);
    refresh();
    if (changed) {
        changed();
    }
}
