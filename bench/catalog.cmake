# Catalog page: a keystroke in the shop box, a category change and adding 50 ticked items,
# over 100,000 menu items of 1,000 shops.
kelvaro_add_bench(bench_catalog bench_catalog.cpp)
target_link_libraries(bench_catalog PRIVATE kelvaro_app Qt6::Widgets Qt6::Sql)
