#pragma once

#include <QWidget>

class DataSource;
class QPlainTextEdit;
class TDBEdit;
class TDBRadioGroup;
class TDBXNavigator;
class TSMDBGrid;

//! The permission page: every account with its user level, changed through controls bound
//! to the accounts list and stored or deleted through its navigator. It has no handler of
//! its own.
class PermissionPage : public QWidget {
    Q_OBJECT
public:
    //! What the page uses: the data source of the accounts list.
    struct Data {
        DataSource &accounts;
    };

    explicit PermissionPage(const Data &data, QWidget *parent = nullptr);

    //! The notice of the framed box at the bottom of the page.
    static QString noticeText();

private:
    TDBEdit *boundEdit(const char *name, const char *field, const QString &caption, int top);

    Data m_data;
};
