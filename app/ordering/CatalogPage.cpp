#include "CatalogPage.h"

#include "Dataset.h"
#include "FormData.h"
#include "InputMethod.h"
#include "PageWidgets.h"
#include "TForm1.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

CatalogPage::CatalogPage(TForm1 &form, QWidget *parent)
    : QWidget(parent)
    , m_form(form) {
    setFixedSize(PageWidgets::PageSize);

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
    Dataset &query = *m_form.data().ADOQuery_GET;
    try {
        query.close();
        query.statement().clear();
        query.statement().add(QStringLiteral("Select men_merchant From menu "));
        query.statement().add(QStringLiteral("Group By men_merchant COLLATE KTEXT "));
        query.open();
        // The number of passes is fixed before the first one; the end test guards the move.
        const int rows = query.recordCount();
        for (int i = 0; i < rows; ++i) {
            const Field *shop = query.field(0);
            appendShop(shop ? shop->asString() : QString());
            if (!query.eof()) query.next();
        }
        query.close();
    } catch (const std::exception &) {
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
    m_form.Get_CB1_Text();
    const QSignalBlocker quiet(m_shopBox);
    m_shopBox->setCurrentIndex(-1);
}
