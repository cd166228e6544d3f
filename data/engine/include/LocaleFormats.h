#pragma once

#include <QChar>
#include <QString>

//! The system's date and time conventions the engine and the pages follow.
//! Filled by the platform layer from the system locale; tests set any values.
struct LocaleFormats {
    //! Qt date format of the system's short date, e.g. "yyyy/MM/dd" or "dd.MM.yyyy".
    QString shortDateFormat = QStringLiteral("yyyy/MM/dd");
    QChar dateSeparator = QLatin1Char('/');
    QChar timeSeparator = QLatin1Char(':');
};
