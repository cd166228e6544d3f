#pragma once

#include "FieldDataLink.h"

#include <QLineEdit>

class CharacterLimit;
class DataSource;

//! A one-line edit bound to one field: it shows the current record's value, starts editing
//! through the data source's auto-edit when the user changes the text, takes at most as many
//! characters as the field's column holds (as the engine counts them), and writes its text
//! into the field when the record is stored or the focus leaves it. Esc drops what was typed.
//! While the field cannot change (closed or read-only dataset, read-only field) the edit is
//! read-only.
class TDBEdit : public QLineEdit, private FieldDataLink::Control {
    Q_OBJECT
public:
    explicit TDBEdit(QWidget *parent = nullptr);

    DataSource *dataSource() const { return m_link.dataSource(); }
    void setDataSource(DataSource *source) { m_link.setDataSource(source); }
    //! The name of the bound field.
    QString dataField() const { return m_link.fieldName(); }
    void setDataField(const QString &name) { m_link.setFieldName(name); }
    //! The bound field; null while there is none.
    Field *field() const { return m_link.field(); }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void fieldChanged() override;
    void stateChanged() override;
    void writeField() override;
    void userEdited(const QString &text);

    FieldDataLink m_link{*this};
    //! At most as many characters as the field's column holds.
    CharacterLimit *m_limit;
    //! Set while the user's first change starts editing: the typed text stays.
    bool m_startingEdit = false;
};
