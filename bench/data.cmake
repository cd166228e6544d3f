# Data layer: dataset open and requery against a plain sqlite3_step loop; a day's listing.
kelvaro_add_bench(bench_data bench_data.cpp)
target_link_libraries(bench_data PRIVATE kelvaro_data PkgConfig::SQLITE3 Qt6::Core Qt6::Sql)
