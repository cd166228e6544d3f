#pragma once

#include <QByteArray>
#include <QVariant>
#include <QVector>

//! Bound values as the PostgreSQL client library takes them: text, except bytes sent as binary.
//! Integers go as bigint, so they keep their type wherever they stand (a select list feeding an
//! insert); every other value goes untyped and takes the type of the column it meets. The server's
//! texts cannot hold a NUL character, so a text holding one equals no stored text: it goes as a
//! null, which equals nothing either (a write must refuse it first: textWithNul()).
class PostgresParams {
public:
    explicit PostgresParams(const QVector<QVariant> &values);
    // The pointers point into the values' own buffers.
    PostgresParams(const PostgresParams &) = delete;
    PostgresParams &operator=(const PostgresParams &) = delete;

    int count() const { return int(m_data.size()); }
    const unsigned int *types() const { return m_types.constData(); }
    const char *const *values() const { return m_pointers.constData(); }
    const int *lengths() const { return m_lengths.constData(); }
    const int *formats() const { return m_formats.constData(); }
    //! Position of the first text value holding a NUL character (sent as a null), else -1.
    int textWithNul() const { return m_textWithNul; }

private:
    QVector<QByteArray> m_data;
    QVector<unsigned int> m_types;
    QVector<const char *> m_pointers;
    QVector<int> m_lengths;
    QVector<int> m_formats;
    QVector<bool> m_null;
    int m_textWithNul = -1;
};
