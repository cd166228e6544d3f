#pragma once

#include <QObject>

class QWidget;

//! Qt's convention for controls that use Tab themselves (a grid moves between its cells with
//! it, a date edit between the parts of the date): Ctrl+Tab and Ctrl+Shift+Tab leave them for
//! the next and the previous control of the window, as Tab and Shift+Tab do elsewhere.
class ControlTab : public QObject {
    Q_OBJECT
public:
    //! Gives `control` the convention.
    static void attach(QWidget *control);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ControlTab() = default;
    static ControlTab &filter();
};
