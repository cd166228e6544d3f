#include "GridSettings.h"

namespace {
// Room for the check box beside the row marker.
constexpr int CheckBoxIndicatorWidth = 23;
} // namespace

GridSettings GridSettings::tickMany() {
    GridSettings s;
    s.options |= dgMultiSelect;
    s.exOptions |= eoCheckBoxSelect;
    s.widthOfIndicator = CheckBoxIndicatorWidth;
    return s;
}

GridSettings GridSettings::tickOneRow() {
    GridSettings s;
    s.options = (s.options & ~TGridOptions(dgEditing)) | dgRowSelect;
    s.exOptions |= eoCheckBoxSelect;
    s.widthOfIndicator = CheckBoxIndicatorWidth;
    return s;
}
