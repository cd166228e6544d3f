#include "PermissionPage.h"

#include "PageWidgets.h"

PermissionPage::PermissionPage(FormData &data, QWidget *parent)
    : QWidget(parent)
    , m_data(data) {
    setFixedSize(PageWidgets::PageSize);
    Q_UNUSED(m_data);
}
