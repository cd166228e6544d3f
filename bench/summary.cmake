# Summary page over 1,000,000 order lines (3,000 on the chosen day): the engine's own day
# queries, page entry to the listed grid and total, and exporting the day.
kelvaro_add_bench(bench_summary bench_summary.cpp)
target_link_libraries(bench_summary PRIVATE kelvaro_app Qt6::Widgets Qt6::Sql PkgConfig::SQLITE3)
