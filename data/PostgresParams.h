#pragma once

#include <QByteArray>
#include <QVariant>
#include <QVector>

//! Bound values as the PostgreSQL client library takes them: text, except bytes sent as binary.
//! Integers go as bigint, so they keep their type wherever they stand (a select list feeding an
//! insert); every other value goes untyped and takes the type of the column it meets.
class PostgresParams {
public:
    //! Throws DbError (a bad value) for a text holding a NUL character.
    explicit PostgresParams(const QVector<QVariant> &values);
    // The pointers point into the values' own buffers.
    PostgresParams(const PostgresParams &) = delete;
    PostgresParams &operator=(const PostgresParams &) = delete;

    int count() const { return int(m_data.size()); }
    const unsigned int *types() const { return m_types.constData(); }
    const char *const *values() const { return m_pointers.constData(); }
    const int *lengths() const { return m_lengths.constData(); }
    const int *formats() const { return m_formats.constData(); }

private:
    QVector<QByteArray> m_data;
    QVector<unsigned int> m_types;
    QVector<const char *> m_pointers;
    QVector<int> m_lengths;
    QVector<int> m_formats;
};
