#pragma once

#include "FieldDataLink.h"
#include "TRadioGroup.h"

class DataSource;

//! A radio group bound to one field: each item stands for a value (its caption when no
//! values are given); the item of the current record's value is chosen, none for a value
//! without an item; choosing an item starts editing through the data source's auto-edit and
//! writes its value into the field.
class TDBRadioGroup : public TRadioGroup, private FieldDataLink::Control {
    Q_OBJECT
public:
    explicit TDBRadioGroup(QWidget *parent = nullptr);

    DataSource *dataSource() const { return m_link.dataSource(); }
    void setDataSource(DataSource *source) { m_link.setDataSource(source); }
    //! The name of the bound field.
    QString dataField() const { return m_link.fieldName(); }
    void setDataField(const QString &name) { m_link.setFieldName(name); }
    //! The value each item stands for, in item order.
    QStringList values() const { return m_values; }
    void setValues(const QStringList &values);
    //! The value item `index` stands for.
    QString valueOf(int index) const;

private:
    void fieldChanged() override;
    void chosen(int index);

    FieldDataLink m_link{*this};
    QStringList m_values;
};
