#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

//! A statement built line by line, with its bound values.
//! Values typed by users never go into the text: they are bound with bind() or bindFor()
//! and stand as `?` in the lines, in order.
class Statement {
public:
    struct Param {
        QVariant value;
        //! Column whose type the value is converted to before it is bound; empty: bound as it is.
        QString column;
    };

    void clear() {
        m_lines.clear();
        m_params.clear();
    }
    void add(const QString &line) { m_lines.append(line); }
    //! Binds a value as it is (text stays text, integers stay integers).
    void bind(const QVariant &value) { m_params.append({value, QString()}); }
    //! Binds a typed text converted to the type of `column` (e.g. "ord_date", "men_price"):
    //! "35" into an integer column, "2026/12/09" with the system's date separator into a date
    //! column, "13:05" into a time column; refused with a clear message when it cannot be
    //! converted or is longer than a text column allows.
    void bindFor(const QString &column, const QVariant &value) { m_params.append({value, column}); }

    const QStringList &lines() const { return m_lines; }
    QStringList &lines() { return m_lines; }
    const QVector<Param> &params() const { return m_params; }
    bool isEmpty() const { return text().trimmed().isEmpty(); }

    //! The lines joined with CR LF after each line, the last included.
    QString text() const {
        QString s;
        for (const QString &l : m_lines)
            s += l + QStringLiteral("\r\n");
        return s;
    }

private:
    QStringList m_lines;
    QVector<Param> m_params;
};
