# Start-up: the main window built, its datasets opened and first painted, on an empty file and
# on one with 100,000 menu items and 10,000 accounts.
kelvaro_add_bench(bench_startup bench_startup.cpp)
target_link_libraries(bench_startup PRIVATE kelvaro_app Qt6::Sql)
