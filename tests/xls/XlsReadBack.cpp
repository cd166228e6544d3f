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
    const char *name = nullptr;
    if (count > 0 && freexl_get_worksheet_name(h, 0, &name) == FREEXL_OK)
        out.sheetName = QString::fromUtf8(name);
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (count > 0 && freexl_select_active_worksheet(h, 0) == FREEXL_OK &&
        freexl_worksheet_dimensions(h, &rows, &columns) == FREEXL_OK) {
        for (unsigned int r = 0; r < rows; ++r) {
            QStringList row;
            for (unsigned short c = 0; c < columns; ++c) {
                FreeXL_CellValue v;
                row << (freexl_get_cell_value(h, r, c, &v) == FREEXL_OK ? cellText(v) : QStringLiteral("?"));
            }
            out.rows << row;
        }
    }
    freexl_close(h);
    return out;
}
