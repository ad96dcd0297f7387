# The time the window adds per text message of a send.
add_executable(send_bench ${CMAKE_CURRENT_SOURCE_DIR}/SendBenchmark.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TenMessageRecord.cpp)
target_link_libraries(send_bench PRIVATE
    mailvane::options mailvane::send mailvane::phone mailvane::settings mailvane::provisioning
    benchmark::benchmark Qt6::Widgets)
target_compile_definitions(send_bench PRIVATE
    MAILVANE_TOKEN_TABLE_PATH="${MAILVANE_TOKEN_TABLE}"
    MAILVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
if(TARGET mailvane_default_skin)
    add_dependencies(send_bench mailvane_default_skin)
    target_compile_definitions(send_bench PRIVATE MAILVANE_DEFAULT_SKIN="${MAILVANE_SKIN_FILE}")
endif()
