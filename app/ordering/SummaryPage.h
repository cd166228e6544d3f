#pragma once

#include <QDate>
#include <QString>
#include <QWidget>

class Connection;
class DataSource;
class Dataset;
class Field;
class QDateEdit;
class QLabel;
class Session;
class TDBText;
class TDBXNavigator;
class TSMDBGrid;

//! The summary page: every order line of the day the date picker shows, sorted by shop, with
//! the day's total; the navigator deletes lines for those allowed to, and the export button
//! writes the day to a spreadsheet file.
class SummaryPage : public QWidget {
    Q_OBJECT
public:
    //! What the page uses: the day's listing with its data source, the scratch query that
    //! reads the total, and the connection the export runs on.
    struct Data {
        Dataset &lines;
        DataSource &lineSource;
        Dataset &reads;
        Connection &connection;
    };

    //! `exportFolder` is the folder the export button writes its files to.
    SummaryPage(const Data &data, const Session &session, const QString &exportFolder,
                QWidget *parent = nullptr);
    ~SummaryPage() override;

    //! Entry to the page by the user's choice of its tab: the picker set to today, today's
    //! lines listed with their total, the delete rights set.
    void enter();

private:
    // Lists the picker's day with its total (every change of the picker's date by the user).
    void DTP1Change();
    // Reopens the day's listing, then writes its total; "錯誤請找管理人" when the listing fails.
    void Order_Totle(const QDate &day);
    // Writes the day's total into the total panel; a failure leaves the panel as it was.
    void Set_Total(const QDate &day);
    // Writes `text` into the total panel, in a smaller font where the panel's own is too wide.
    void showTotal(const QString &text);
    // After every navigator button: the total of the picker's day again.
    void DBXNavigator2Click();
    // Shows the navigator's delete button when the user may delete the current line.
    void Set_Nav_Buttons();
    // May the signed-in user delete a line ordered by `orderer`? Exact texts.
    bool mayDelete(const QString &orderer) const;
    // Checked again by the dataset at the moment of every deletion, whatever asked for it.
    void checkDelete(const Dataset &lines) const;
    // Odd-row shading of the order grid.
    void SMDBGrid4GetCellParams(QColor &background);
    // Writes the picker's day to a new spreadsheet file named after the clock.
    void Button2Click();

    Data m_data;
    const Session &m_session;
    QString m_exportFolder;
    QDateEdit *m_picker;
    TDBXNavigator *m_navigator;
    TSMDBGrid *m_grid;
    TDBText *m_orderer;
    QLabel *m_total;
    //! Set while the page lists a day itself and writes the total after it.
    bool m_listing = false;
};
