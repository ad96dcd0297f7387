# rows_bench: a table of 10,000 people read, checked and encoded.
add_executable(rows_bench ${CMAKE_CURRENT_SOURCE_DIR}/RowsBenchmark.cpp)
target_link_libraries(rows_bench PRIVATE mailvane::options mailvane::rows benchmark::benchmark)
target_compile_definitions(rows_bench PRIVATE
    MAILVANE_TOKEN_TABLE_PATH="${MAILVANE_TOKEN_TABLE}"
    MAILVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
