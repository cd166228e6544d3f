#pragma once

#include <QString>
#include <QVariant>

class Dataset;

//! Kind of value a field holds, as the pages and widgets need to know it.
enum class FieldType { Unknown, AutoInc, Integer, Float, Text, Date, Time, DateTime };

//! Design-time description of one field of a dataset with a field list.
struct FieldDef {
    QString name;         //!< column name in the result
    QString displayLabel; //!< grid title; empty: the column name
    int displayWidth = 0; //!< in characters; 0: the default for the field's type
    bool visible = true;  //!< hidden fields are fetched but get no grid column
    bool readOnly = false;
};

//! One field of an open dataset: a column of its snapshot.
//! Values are those of the dataset's current record (its edit buffer while editing).
class Field {
public:
    Field(Dataset *dataset, const FieldDef &def, FieldType type, int column, int size);

    Dataset *dataset() const { return m_dataset; }
    const QString &fieldName() const { return m_def.name; }
    QString displayLabel() const;
    int displayWidth() const;
    bool visible() const { return m_def.visible; }
    //! Read-only by its definition, as the table's key, or as a computed column (no table's).
    bool readOnly() const { return m_def.readOnly || m_type == FieldType::AutoInc || m_computed; }
    FieldType type() const { return m_type; }
    //! Maximum characters of a text field; 0 for other types.
    int size() const { return m_size; }
    //! Position in the dataset's field list.
    int index() const { return m_index; }
    //! Position of the column in the dataset's snapshot rows.
    int column() const { return m_column; }

    //! The current record's value; a null QVariant for an empty value.
    QVariant value() const;
    bool isNull() const { return value().isNull(); }
    //! Integers as their decimal digits, dates and times in the system's formats, empty for null.
    QString asString() const;
    //! 0 for null or text that is not a number.
    qint64 asInteger() const;
    //! The text a grid shows for this field in the given snapshot row (no record move).
    QString displayTextAt(int row) const;

    //! Writes into the current record's edit buffer; the dataset must be editing or
    //! inserting (with auto-edit a bound control puts it into edit first).
    void setValue(const QVariant &value);
    void setAsString(const QString &text) { setValue(text); }

private:
    friend class Dataset;
    Dataset *m_dataset;
    FieldDef m_def;
    FieldType m_type;
    int m_column;
    int m_size;
    int m_index = 0;
    bool m_computed = false;
};
