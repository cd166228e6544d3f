#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVector>
#include <vector>

//! One result column as the engine describes it.
struct ResultColumn {
    QString name;       //!< name in the result (alias or column name)
    QString table;      //!< table it comes from; empty for expressions
    QString originName; //!< column name in that table; empty for expressions
};

//! All rows of a row-returning statement, fetched at once (a static snapshot).
//! Cells are kept compactly (texts in one shared buffer, as the UTF-8 the engines store), so
//! reading a value builds it: use value(row, column). Rows appended later (posted edits) go at
//! the end.
class ResultSet {
public:
    QVector<ResultColumn> columns;

    int rowCount() const { return m_rows; }
    int columnCount() const { return int(columns.size()); }
    //! The value of a cell: qint64, double, QString or QByteArray; null for an empty value.
    QVariant value(int row, int column) const;
    bool isNull(int row, int column) const;
    //! Appends a row (values in column order) with its key; returns its row number.
    int appendRow(const QVector<QVariant> &values, qint64 key = -1);

    //! The table whose key each row carries; empty when the rows carry no key.
    QString keyTable() const { return m_keyTable; }
    bool keyed() const { return !m_keyTable.isEmpty(); }
    //! The key (the table's rowid) of a stored row; -1 when the rows carry none.
    qint64 key(int row) const { return row >= 0 && size_t(row) < m_keys.size() ? m_keys[size_t(row)] : -1; }

private:
    friend class RowFetcher;
    friend class PostgresFetcher;

    enum class Kind : quint8 { Null, Integer, Real, Text, Blob };
    struct TextRef {
        quint32 offset;
        quint32 length;
    };
    struct Cell {
        union {
            qint64 integer;
            double real;
            TextRef text;
        };
        Kind kind;
    };

    const Cell &cell(int row, int column) const {
        return m_cells[size_t(row) * size_t(columns.size()) + size_t(column)];
    }
    QString text(TextRef ref) const;
    void appendText(Cell &cell, const char16_t *data, qsizetype length);
    //! Copies an engine's UTF-8 text into the text buffer as it is: decoding waits until the
    //! value is read, which for most rows of a large result is never.
    void appendUtf8(Cell &cell, const unsigned char *data, qsizetype bytes);

    std::vector<Cell> m_cells; // row-major
    std::vector<char> m_text;  // all texts as UTF-8, back to back
    QVector<QByteArray> m_blobs;
    std::vector<qint64> m_keys; // one per row when keyed
    QString m_keyTable;
    int m_rows = 0;
};
