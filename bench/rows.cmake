# rows_bench: a table of 10,000 people read, checked and encoded.
add_executable(rows_bench ${CMAKE_CURRENT_SOURCE_DIR}/RowsBenchmark.cpp)
target_link_libraries(rows_bench PRIVATE mailvane::options mailvane::rows benchmark::benchmark)
target_compile_definitions(rows_bench PRIVATE
    MAILVANE_TOKEN_TABLE_PATH="${MAILVANE_TOKEN_TABLE}"
    MAILVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")

# rows_memory_bench: peak RSS and time of mailvane-cli for 1,000,000 rows
# through --check-rows and 100,000 rows to a simulated phone, through --dry-run
# and through a Kannel gateway on loopback (run by hand).
add_executable(rows_memory_bench ${CMAKE_CURRENT_SOURCE_DIR}/RowsMemoryBench.cpp)
target_link_libraries(rows_memory_bench PRIVATE mailvane_bench_support)
