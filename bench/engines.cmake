# Fetching the same 100,000 rows through Connection on both engines (the server a private
# cluster of the run's own, as the data tests start it).
kelvaro_add_bench(bench_engines bench_engines.cpp)
target_link_libraries(bench_engines PRIVATE kelvaro_data kelvaro_data_testsupport Qt6::Core)
