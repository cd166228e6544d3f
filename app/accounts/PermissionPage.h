#pragma once

#include <QWidget>

class FormData;

//! The permission page: accounts and their user levels, for system managers.
class PermissionPage : public QWidget {
    Q_OBJECT
public:
    explicit PermissionPage(FormData &data, QWidget *parent = nullptr);

private:
    FormData &m_data;
};
