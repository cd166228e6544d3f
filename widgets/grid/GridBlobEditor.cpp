#include "GridBlobEditor.h"

#include "Dataset.h"
#include "DbError.h"
#include "Dialogs.h"
#include "Field.h"
#include "TSMDBGrid.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

GridBlobEditor::GridBlobEditor() {
    setObjectName(QStringLiteral("BlobEditor"));
    setWindowFlags(windowFlags() & ~Qt::WindowMinimizeButtonHint);
    m_text = new QPlainTextEdit(this);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_ok = new QPushButton(QStringLiteral("確定 (&O)"), this);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("取消 (&C)"), this);
    m_ok->setAccessibleName(m_ok->text());
    m_cancel->setAccessibleName(m_cancel->text());
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
}

GridBlobEditor *GridBlobEditor::instance() {
    static QPointer<GridBlobEditor> editor;
    if (!editor) {
        editor = new GridBlobEditor;
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, editor, &QObject::deleteLater);
    }
    return editor;
}

bool GridBlobEditor::canEdit(TSMDBGrid *grid) {
    if (!grid->datasetActive() || !grid->currentIndex().isValid()) return false;
    const Field *field = grid->columnField(grid->currentIndex().column());
    return field && field->type() == FieldType::Text && field->size() > 256;
}

void GridBlobEditor::editCurrentCell(TSMDBGrid *grid) {
    if (!canEdit(grid)) return;
    Field *field = grid->columnField(grid->currentIndex().column());
    Dataset *ds = grid->dataset();
    GridBlobEditor *editor = instance();
    editor->setWindowTitle(field->fieldName());
    editor->m_text->setAccessibleName(field->fieldName());
    editor->m_text->setFont(grid->font());
    editor->m_text->setPlainText(field->asString());
    // Whether OK can write back is decided for this field and dataset at every opening.
    const bool writable = !grid->readOnly() && !field->readOnly() && ds->canModify();
    editor->m_ok->setEnabled(writable);
    editor->m_text->setReadOnly(!writable);
    if (editor->exec() != QDialog::Accepted || !writable) return;
    try {
        if (ds->state() == DatasetState::Browse) ds->edit();
        field->setValue(editor->m_text->toPlainText());
    } catch (const DbError &e) {
        Dialogs::current().error(e.message());
    }
}
