#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

//! Makes the controls of the pages as the form places them: named, positioned in 96 dpi
//! pixels, with their captions as accessible names.
class PageWidgets {
public:
    //! The client area of every page.
    static constexpr QSize PageSize{624, 400};
    //! Pixel size of the pages' label and button type (10 points).
    static constexpr int PageTextPixels = 13;
    //! Pixel size of the window's own type (8 points).
    static constexpr int WindowTextPixels = 11;

    //! The window's Traditional Chinese font at a pixel size (96 dpi pixels).
    static QFont uiFont(int pixelSize);
    //! A transparent label in the pages' type.
    static QLabel *label(QWidget *page, const char *name, const QString &caption, const QRect &geometry);
    //! A one-line text edit that asks for the Chinese input method when it gets the focus.
    static QLineEdit *edit(QWidget *page, const char *name, const QString &accessibleName,
                           const QRect &geometry);
    //! A push button with its type's pixel size that Enter presses while it has the focus; it is
    //! never the window's default button.
    static QPushButton *button(QWidget *page, const char *name, const QString &caption, const QRect &geometry,
                               int pixelSize);
    //! Shows every character of `edit` as "*".
    static void maskWithStars(QLineEdit *edit);
};
