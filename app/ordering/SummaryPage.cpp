#include "SummaryPage.h"

#include "PageWidgets.h"

SummaryPage::SummaryPage(FormData &data, const Session &session, QWidget *parent)
    : QWidget(parent)
    , m_data(data)
    , m_session(session) {
    setFixedSize(PageWidgets::PageSize);
}

void SummaryPage::enter() {
    // Today's listing and total come with the page's order grid.
    Q_UNUSED(m_data);
    Q_UNUSED(m_session);
}
