#include "XlsReadBack.h"

#include <QFile>
#include <freexl.h>

namespace {

QString cellText(const FreeXL_CellValue &v) {
    const auto text = [&] { return QString::fromUtf8(v.value.text_value); };
    switch (v.type) {
    case FREEXL_CELL_INT:
        return QStringLiteral("num:%1").arg(v.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return QStringLiteral("num:") + QString::number(v.value.double_value, 'g', 15);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
        return QStringLiteral("text:") + text();
    case FREEXL_CELL_DATE:
        return QStringLiteral("date:") + text();
    case FREEXL_CELL_TIME:
        return QStringLiteral("time:") + text();
    case FREEXL_CELL_DATETIME:
        return QStringLiteral("datetime:") + text();
    default:
        return QString();
    }
}

} // namespace

XlsReadBack XlsReadBack::read(const QString &path) {
    XlsReadBack out;
    const void *h = nullptr;
    out.error = freexl_open(QFile::encodeName(path).constData(), &h);
    if (out.error != FREEXL_OK) return out;
    unsigned int count = 0;
    freexl_get_info(h, FREEXL_BIFF_SHEET_COUNT, &count);
    out.sheetCount = int(count);
    for (unsigned short index = 0; index < count; ++index) {
        Sheet sheet;
        const char *name = nullptr;
        if (freexl_get_worksheet_name(h, index, &name) == FREEXL_OK) sheet.name = QString::fromUtf8(name);
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (freexl_select_active_worksheet(h, index) == FREEXL_OK &&
            freexl_worksheet_dimensions(h, &rows, &columns) == FREEXL_OK) {
            for (unsigned int r = 0; r < rows; ++r) {
                QStringList row;
                for (unsigned short c = 0; c < columns; ++c) {
                    FreeXL_CellValue v;
                    row << (freexl_get_cell_value(h, r, c, &v) == FREEXL_OK ? cellText(v)
                                                                            : QStringLiteral("?"));
                }
                sheet.rows << row;
            }
        }
        out.sheets << sheet;
    }
    if (!out.sheets.isEmpty()) {
        out.sheetName = out.sheets.first().name;
        out.rows = out.sheets.first().rows;
    }
    freexl_close(h);
    return out;
}
