# How fast the message box and the file dialog appear.
if(TARGET mailvane_default_skin)
    add_executable(toolkit_bench ${CMAKE_CURRENT_SOURCE_DIR}/ToolkitBenchmark.cpp)
    target_link_libraries(toolkit_bench PRIVATE mailvane::options mailvane::widgets benchmark::benchmark)
    add_dependencies(toolkit_bench mailvane_default_skin)
    target_compile_definitions(toolkit_bench PRIVATE
        MAILVANE_DEFAULT_SKIN="${MAILVANE_SKIN_FILE}")
endif()
