// Timetable and calendar import: any bytes decode and parse without a fault, and what imports
// exports to CSV that imports back the same.
#include "FuzzDir.h"
#include "table/CalendarCsv.h"
#include "table/CsvEncoding.h"
#include "table/TableCsv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    (void)csvencoding::workbookRefusal(QStringLiteral("table.csv"), bytes);
    const csvencoding::Decoded decoded = csvencoding::decode(bytes);
    const calendarcsv::Parsed calendar = calendarcsv::read(decoded.text);
    if (calendar.errors.isEmpty()) {
        const calendarcsv::Parsed back = calendarcsv::read(calendarcsv::write(calendar.entries));
        FUZZ_CHECK(back.errors.isEmpty() && back.entries == calendar.entries);
    }
    const tablecsv::Parsed parsed = tablecsv::read(decoded.text);
    if (!parsed.errors.isEmpty()) {
        return 0;
    }
    const QString exported = tablecsv::write(parsed.rows);
    const tablecsv::Parsed again = tablecsv::read(exported);
    FUZZ_CHECK(again.errors.isEmpty());
    FUZZ_CHECK(again.rows.size() == parsed.rows.size());
    for (size_t i = 0; i < parsed.rows.size(); ++i) {
        ScheduleRow a = parsed.rows[i];
        ScheduleRow b = again.rows[i];
        a.id = b.id = 0;
        FUZZ_CHECK(a == b);
    }
    const csvencoding::Decoded excel = csvencoding::decode(csvencoding::forExcel(exported));
    FUZZ_CHECK(tablecsv::read(excel.text).rows.size() == parsed.rows.size());
    return 0;
}
