#include "TDBEdit.h"

#include "CharacterLimit.h"
#include "Dialogs.h"
#include "Field.h"
#include "HandlerGuard.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>

TDBEdit::TDBEdit(QWidget *parent)
    : QLineEdit(parent)
    , m_limit(new CharacterLimit(0, this)) {
    setReadOnly(true);
    connect(this, &QLineEdit::textEdited, this, &TDBEdit::userEdited);
}

void TDBEdit::fieldChanged() {
    if (m_startingEdit) return;
    const Field *f = m_link.field();
    // The limit comes first: a shorter one would cut the text being shown. The column counts
    // characters, not UTF-16 units as QLineEdit's own maximum length would.
    const int limit = f && f->type() == FieldType::Text && f->size() > 0 ? f->size() : 0;
    m_limit->setLimit(limit);
    setValidator(limit > 0 ? m_limit : nullptr);
    const QString shown = f ? f->asString() : QString();
    if (text() != shown) setText(shown);
    stateChanged();
}

void TDBEdit::stateChanged() {
    setReadOnly(!m_link.canModify());
}

void TDBEdit::writeField() {
    m_link.field()->setAsString(text());
}

void TDBEdit::userEdited(const QString &typed) {
    if (!m_link.editing()) {
        // Starting an edit may insert a first record into an empty dataset, which would show
        // its empty field: the typed text stays.
        const int cursor = cursorPosition();
        bool editing = false;
        m_startingEdit = true;
        HandlerGuard::run([&] { editing = m_link.edit(); });
        m_startingEdit = false;
        if (!editing) {
            fieldChanged();
            QApplication::beep();
            return;
        }
        if (text() != typed) {
            setText(typed);
            setCursorPosition(cursor);
        }
    }
    m_link.setModified();
}

void TDBEdit::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape && m_link.isModified()) {
        m_link.reset();
        selectAll();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TDBEdit::focusOutEvent(QFocusEvent *event) {
    QLineEdit::focusOutEvent(event);
    // Leaving for another control stores the text in the field; a pop-up menu or another
    // window taking the focus for a while does not.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason ||
        !m_link.isModified())
        return;
    if (!HandlerGuard::run([this] { m_link.updateRecord(); })) {
        selectAll();
        setFocus();
    }
}
