#pragma once

#include "DataLink.h"

#include <QString>

class Field;

//! A bound control's link to one field of its data source's dataset. The field is looked up
//! by name whenever the dataset opens, re-reads or changes its field list; the control is told
//! when to show the field again and when to write a value it holds. Errors of that write
//! reach whoever stores the record (a post, a move), so the control's part is plain calls.
class FieldDataLink : public DataLink {
public:
    //! What a bound control does when its link tells it.
    class Control {
    public:
        virtual ~Control() = default;
        //! Show the field's value again: another record, new contents or a changed value.
        virtual void fieldChanged() = 0;
        //! The dataset opened or closed, or entered or left editing.
        virtual void stateChanged() {}
        //! Write the pending value into the field.
        virtual void writeField() {}
    };

    explicit FieldDataLink(Control &control)
        : m_control(control) {}

    //! The name of the bound field.
    QString fieldName() const { return m_fieldName; }
    void setFieldName(const QString &name);
    //! The bound field; null while the dataset is closed or has no field of that name.
    Field *field() const { return m_field; }
    //! The control may change the field: the dataset is open and can modify, the field is
    //! there and not read-only.
    bool canModify() const;
    //! Starts editing through the data source's auto-edit; true when the dataset is editing.
    bool edit();
    //! The control holds a value that is not yet in the field.
    bool isModified() const { return m_modified; }
    void setModified() { m_modified = true; }
    //! Drops the control's pending value: the control shows the field again.
    void reset() { recordChanged(nullptr); }
    //! Writes the control's pending value into the field now; errors of the field propagate.
    void updateRecord() { updateData(); }

protected:
    void activeChanged() override;
    void dataSetChanged() override;
    void layoutChanged() override { activeChanged(); }
    void recordChanged(Field *field) override;
    void editingChanged() override { m_control.stateChanged(); }
    void updateData() override;

private:
    void findField();

    Control &m_control;
    QString m_fieldName;
    Field *m_field = nullptr;
    bool m_modified = false;
};
