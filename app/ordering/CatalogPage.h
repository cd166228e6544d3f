#pragma once

#include <QWidget>

class FormData;
class QComboBox;
class Session;

//! The catalog page: the shop box, from which the user picks the shop to order from.
class CatalogPage : public QWidget {
    Q_OBJECT
public:
    CatalogPage(FormData &data, const Session &session, QWidget *parent = nullptr);

    //! Entry to the page by the user's choice of its tab: the shop list read again and no
    //! shop selected.
    void enter();

public slots:
    //! Appends every distinct shop name of the menu to the shop box's item list; failures
    //! are silent and leave what was appended.
    void Get_CB1_Text();
    //! Removes every item of the shop box; not a change of the shop box.
    void clearShopList();

private:
    void appendShop(const QString &shop);

    FormData &m_data;
    const Session &m_session;
    QComboBox *m_shopBox;
};
