#pragma once

#include <QDateEdit>

//! The summary page's date picker: a date edit with a drop-down calendar. Tab and Shift+Tab
//! move between the parts of the date as in any date edit; Ctrl+Tab and Ctrl+Shift+Tab leave
//! it for the next and previous control, as in every widget that uses Tab itself.
class DatePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit DatePicker(QWidget *parent = nullptr)
        : QDateEdit(parent) {}

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
