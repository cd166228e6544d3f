#include "OddRowShading.h"

#include "Dataset.h"

void OddRowShading::apply(const Dataset &dataset, QColor &background) {
    // The remainder keeps the sign of the record number, so -1 (position unknown) gives -1.
    if (shades(dataset.recNo())) background = MoneyGreen;
}
