# Data grid: repaint time while scrolling a 100,000-row dataset.
kelvaro_add_bench(bench_grid bench_grid.cpp)
target_link_libraries(bench_grid PRIVATE kelvaro_grid kelvaro_data Qt6::Widgets Qt6::Sql)
