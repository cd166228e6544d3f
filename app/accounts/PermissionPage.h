#pragma once

#include <QWidget>

class TForm1;

//! The permission page: accounts and their user levels, for system managers.
class PermissionPage : public QWidget {
    Q_OBJECT
public:
    explicit PermissionPage(TForm1 &form, QWidget *parent = nullptr);

private:
    TForm1 &m_form;
};
