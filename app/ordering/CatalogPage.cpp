#include "CatalogPage.h"

#include "FormData.h"
#include "InputMethod.h"
#include "PageWidgets.h"
#include "ShopList.h"
#include "UiLog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

CatalogPage::CatalogPage(FormData &data, const Session &session, QWidget *parent)
    : QWidget(parent)
    , m_data(data)
    , m_session(session) {
    setFixedSize(PageWidgets::PageSize);
    // Order entry stamps the signed-in user into each line.
    Q_UNUSED(m_session);

    m_shopBox = new QComboBox(this);
    m_shopBox->setObjectName(QStringLiteral("CB1"));
    m_shopBox->setEditable(true);
    m_shopBox->setInsertPolicy(QComboBox::NoInsert);
    m_shopBox->setDuplicatesEnabled(true);
    m_shopBox->setGeometry(96, 8, 113, 21);
    m_shopBox->setAccessibleName(QStringLiteral("選擇商店"));
    InputMethod::attach(m_shopBox);
    InputMethod::attach(m_shopBox->lineEdit());
}

void CatalogPage::Get_CB1_Text() {
    try {
        ShopList::read(*m_data.ADOQuery_GET, [this](const QString &shop) { appendShop(shop); });
    } catch (const std::exception &e) {
        qCDebug(kelvaroUi) << "shop list not read:" << e.what();
    }
}

void CatalogPage::appendShop(const QString &shop) {
    // Appending an entry is no change of the shop box: a box that showed no shop (or typed
    // text) still does, where the combo box would pick its first entry by itself.
    const QSignalBlocker quiet(m_shopBox);
    const int index = m_shopBox->currentIndex();
    const QString text = m_shopBox->currentText();
    m_shopBox->addItem(shop);
    if (m_shopBox->currentIndex() != index) {
        m_shopBox->setCurrentIndex(index);
        m_shopBox->setEditText(text);
    }
}

void CatalogPage::clearShopList() {
    const QSignalBlocker quiet(m_shopBox);
    m_shopBox->clear();
}

void CatalogPage::enter() {
    clearShopList();
    Get_CB1_Text();
    const QSignalBlocker quiet(m_shopBox);
    m_shopBox->setCurrentIndex(-1);
}
