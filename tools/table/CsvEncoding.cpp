#include "table/CsvEncoding.h"

#include <QFileInfo>
#include <QStringDecoder>

namespace csvencoding {

Decoded decode(const QByteArray& bytes) {
    static const QByteArray bom("\xEF\xBB\xBF");
    const bool marked = bytes.startsWith(bom);
    const QByteArray body = marked ? bytes.mid(bom.size()) : bytes;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(body);
    if (!utf8.hasError()) {
        return {text, marked ? QStringLiteral("UTF-8（带 BOM）") : QStringLiteral("UTF-8")};
    }
    QStringDecoder gb("GB18030", QStringDecoder::Flag::Stateless);
    if (gb.isValid()) {
        text = gb.decode(bytes);
        return {text, QStringLiteral("GB18030")};
    }
    return {QString::fromUtf8(body), QStringLiteral("UTF-8")};  // no GB18030 codec available
}

QString workbookRefusal(const QString& path, const QByteArray& bytes) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool zip = bytes.startsWith("PK\x03\x04");                        // .xlsx
    const bool ole = bytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");  // .xls, .et
    if (!zip && !ole && suffix != QLatin1String("xlsx") && suffix != QLatin1String("xls") &&
        suffix != QLatin1String("et")) {
        return {};
    }
    return QStringLiteral(
               "%1 是电子表格工作簿，不是 CSV 文件。请在 Excel 或 WPS 中用“另存为”选择"
               "“CSV（逗号分隔）”保存后再导入。")
        .arg(path);
}

QByteArray forExcel(const QString& text) {
    QString crlf = text;
    crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    crlf.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return QByteArray("\xEF\xBB\xBF") + crlf.toUtf8();
}

}  // namespace csvencoding
