# mailvane-bench: the whole provisioning pipeline for a maximal record, against
# converting the same document with libwbxml's library.
pkg_check_modules(LIBWBXML REQUIRED IMPORTED_TARGET libwbxml2)

add_executable(mailvane-bench
    ${CMAKE_CURRENT_SOURCE_DIR}/PipelineBench.cpp
    ${PROJECT_SOURCE_DIR}/tests/provisioning/SampleRecords.cpp)
target_include_directories(mailvane-bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/provisioning)
target_link_libraries(mailvane-bench PRIVATE
    mailvane::options mailvane::provisioning benchmark::benchmark PkgConfig::LIBWBXML)
target_compile_definitions(mailvane-bench PRIVATE
    MAILVANE_TOKEN_TABLE_PATH="${MAILVANE_TOKEN_TABLE}")
