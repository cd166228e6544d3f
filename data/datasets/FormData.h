#pragma once

#include "Connection.h"
#include "DataSource.h"
#include "Dataset.h"
#include "DbError.h"

#include <QObject>

//! The data components the main window owns, made as the form defines them: the one
//! connection, the seven datasets with their design statements, field lists and cursors,
//! and the five data sources joined to them. Named as a form designer names them, so the
//! pages and tests refer to them by those names.
class FormData : public QObject {
    Q_OBJECT
public:
    //! Builds every component with its design-time settings; connects and opens nothing.
    explicit FormData(QObject *parent = nullptr);
    ~FormData() override;

    //! The loading steps of the form, in order: connect `ADOConnection1`, open `ADODataSet1`,
    //! open `ADODataSet3`. Each step that fails is reported through `onError` with the
    //! engine's message, and loading goes on with the next step; except that a database of
    //! another schema version is reported once and nothing more is opened. Returns false then.
    template <typename OnError> bool load(OnError onError) {
        try {
            ADOConnection1->open();
        } catch (const DbError &e) {
            onError(e.message());
            if (e.category() == DbError::Category::OlderSchema ||
                e.category() == DbError::Category::NewerSchema)
                return false;
        }
        runStep([this] { ADODataSet1->open(); }, onError);
        runStep([this] { ADODataSet3->open(); }, onError);
        return true;
    }

    Connection *ADOConnection1;
    Dataset *ADODataSet1;  //!< menu list, newest first (menu page)
    Dataset *ADODataSet2;  //!< one day's order lines (summary page)
    Dataset *ADODataSet3;  //!< accounts (permission page)
    Dataset *ADOQuery1;    //!< categories of a shop (catalog page)
    Dataset *ADOQuery2;    //!< items of a shop's category (catalog page)
    Dataset *ADOQuery_GET; //!< scratch query for row-returning statements
    Dataset *ADOQuery_SET; //!< scratch query for inserts
    DataSource *DataSource1;
    DataSource *DataSource2;
    DataSource *DataSource3;
    DataSource *DataSource4;
    DataSource *DataSource5;

private:
    template <typename Step, typename OnError> static void runStep(Step step, OnError onError) {
        try {
            step();
        } catch (const DbError &e) {
            onError(e.message());
        }
    }
};
