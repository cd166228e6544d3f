# Text equality (the KTEXT collation) per comparison and in a grouped shop list; value conversion.
kelvaro_add_bench(bench_values bench_values.cpp)
target_link_libraries(bench_values PRIVATE kelvaro_data kelvaro_engine_internals PkgConfig::SQLITE3 Qt6::Core)
