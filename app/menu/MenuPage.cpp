#include "MenuPage.h"

#include "Dataset.h"
#include "FormData.h"
#include "PageWidgets.h"

MenuPage::MenuPage(FormData &data, const Session &session, QWidget *parent)
    : QWidget(parent)
    , m_data(data)
    , m_session(session) {
    setFixedSize(PageWidgets::PageSize);
}

void MenuPage::enter() {
    // Not guarded here: a failure to open reaches the standard error box.
    Dataset &menu = *m_data.ADODataSet1;
    if (!menu.isActive()) menu.open();
    // The navigator's buttons by user level come with the page's navigator.
    Q_UNUSED(m_session);
}
