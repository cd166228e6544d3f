#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;
class TSMDBGrid;

//! The large-field editor: a text box for a long text field of the grid's current cell,
//! with OK (write back) and Cancel. One window, shared by all grids.
class GridBlobEditor : public QDialog {
    Q_OBJECT
public:
    //! Does the grid's current cell hold a field the editor is for (text longer than 256)?
    static bool canEdit(TSMDBGrid *grid);
    //! Opens the editor on the current cell and, on OK, writes the text back into the field.
    static void editCurrentCell(TSMDBGrid *grid);
    //! The shared window, made on first use.
    static GridBlobEditor *instance();

private:
    GridBlobEditor();

    QPlainTextEdit *m_text;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
