#pragma once

#include "FieldDataLink.h"

#include <QLabel>

class DataSource;

//! A read-only label that shows one field of the current record as plain text.
class TDBText : public QLabel, private FieldDataLink::Control {
    Q_OBJECT
public:
    explicit TDBText(QWidget *parent = nullptr);

    DataSource *dataSource() const { return m_link.dataSource(); }
    void setDataSource(DataSource *source) { m_link.setDataSource(source); }
    //! The name of the bound field.
    QString dataField() const { return m_link.fieldName(); }
    void setDataField(const QString &name) { m_link.setFieldName(name); }
    //! The bound field; null while there is none.
    Field *field() const { return m_link.field(); }

private:
    void fieldChanged() override;

    FieldDataLink m_link{*this};
};
