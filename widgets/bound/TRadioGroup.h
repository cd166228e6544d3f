#pragma once

#include <QGroupBox>
#include <QList>
#include <QStringList>

class QButtonGroup;
class QGridLayout;
class QRadioButton;

//! A framed group of radio buttons, one per item, laid out in columns (filled top to bottom,
//! then left to right); at most one item is chosen, and none may be.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TRadioGroup(QWidget *parent = nullptr);

    //! The items' captions, top to bottom and column by column.
    QStringList items() const { return m_items; }
    //! Makes one radio button per item (named after the group and the item's index) and
    //! chooses none.
    void setItems(const QStringList &items);
    int columns() const { return m_columns; }
    void setColumns(int columns);
    //! The chosen item; -1 for none.
    int itemIndex() const { return m_index; }
    //! Chooses an item, or none for an index out of range; not a choice of the user's.
    void setItemIndex(int index);
    //! The radio button of item `index`.
    QRadioButton *button(int index) const { return m_buttons.value(index); }

signals:
    //! The user chose another item (with the mouse or the keyboard).
    void itemChosen(int index);

private:
    void arrange();
    void userClicked(int index);

    QStringList m_items;
    QList<QRadioButton *> m_buttons;
    QButtonGroup *m_group;
    QGridLayout *m_layout;
    int m_columns = 1;
    int m_index = -1;
};
