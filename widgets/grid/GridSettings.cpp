#include "GridSettings.h"

GridSettings GridSettings::forGrid(const QString &name) {
    GridSettings s;
    s.name = name;
    if (name == QLatin1String("SMDBGrid3")) {
        // Items: any number of rows ticked by check box.
        s.options |= dgMultiSelect;
        s.exOptions |= eoCheckBoxSelect;
        s.widthOfIndicator = 23;
    } else if (name == QLatin1String("SMDBGrid4")) {
        // Order lines: at most one row ticked, the current row highlighted whole, no editing.
        s.options = (s.options & ~TGridOptions(dgEditing)) | dgRowSelect;
        s.exOptions |= eoCheckBoxSelect;
        s.widthOfIndicator = 23;
    }
    return s;
}
