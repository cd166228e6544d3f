#pragma once

#include <QValidator>

//! Holds an edit's text to at most a number of characters as the engine counts them: a
//! character outside the Basic Multilingual Plane (two UTF-16 units) counts once, and a pair of
//! units is never split. What goes beyond the limit is refused where it was put in, as a
//! length limit refuses it: the characters just before the cursor go back out.
class CharacterLimit : public QValidator {
    Q_OBJECT
public:
    explicit CharacterLimit(int limit, QObject *parent = nullptr);

    int limit() const { return m_limit; }
    void setLimit(int limit) { m_limit = limit; }
    //! Characters in `text`, a surrogate pair counted once.
    static int characters(const QString &text);

    State validate(QString &input, int &pos) const override;

private:
    int m_limit;
};
