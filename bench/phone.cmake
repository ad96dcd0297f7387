# The time the program adds per text message on the way to the phone.
add_executable(phone_bench ${CMAKE_CURRENT_SOURCE_DIR}/PhoneBenchmark.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TenMessageRecord.cpp)
target_link_libraries(phone_bench PRIVATE
    mailvane::options mailvane::phone mailvane::phone_test_support mailvane::settings
    mailvane::provisioning benchmark::benchmark)
mailvane_link_phone_devices(phone_bench)
target_compile_definitions(phone_bench PRIVATE
    MAILVANE_TOKEN_TABLE_PATH="${MAILVANE_TOKEN_TABLE}"
    MAILVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
