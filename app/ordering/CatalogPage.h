#pragma once

#include <QWidget>

class QComboBox;
class TForm1;

//! The catalog page: the shop box, from which the user picks the shop to order from.
class CatalogPage : public QWidget {
    Q_OBJECT
public:
    explicit CatalogPage(TForm1 &form, QWidget *parent = nullptr);

    //! The shop box `CB1`.
    QComboBox *shopBox() const { return m_shopBox; }

    //! Appends every distinct shop name of the menu to the shop box's item list; failures
    //! are silent and leave what was appended.
    void Get_CB1_Text();
    //! Removes every item of the shop box; not a change of the shop box.
    void clearShopList();
    //! Entry to the page by the user's choice of its tab: the shop list read again and no
    //! shop selected.
    void enter();

private:
    void appendShop(const QString &shop);

    TForm1 &m_form;
    QComboBox *m_shopBox;
};
