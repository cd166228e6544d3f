#include "FieldDataLink.h"

#include "DataSource.h"
#include "Dataset.h"
#include "Field.h"

void FieldDataLink::setFieldName(const QString &name) {
    if (name == m_fieldName) return;
    m_fieldName = name;
    activeChanged();
}

void FieldDataLink::findField() {
    m_field = active() && !m_fieldName.isEmpty() ? dataset()->findField(m_fieldName) : nullptr;
}

bool FieldDataLink::canModify() const {
    return m_field && active() && dataset()->canModify() && !m_field->readOnly();
}

bool FieldDataLink::edit() {
    if (!canModify()) return false;
    if (!editing()) dataSource()->edit();
    return editing();
}

void FieldDataLink::activeChanged() {
    findField();
    m_modified = false;
    m_control.stateChanged();
    m_control.fieldChanged();
}

void FieldDataLink::dataSetChanged() {
    // A re-read may rebuild the field list.
    findField();
    m_modified = false;
    m_control.fieldChanged();
}

void FieldDataLink::recordChanged(Field *field) {
    if (field && field != m_field) return;
    m_modified = false;
    m_control.fieldChanged();
}

void FieldDataLink::updateData() {
    if (!m_modified || !m_field) return;
    m_control.writeField();
    m_modified = false;
}
