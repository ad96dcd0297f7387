# kannel_batch_bench: batch sending through a Kannel gateway on loopback against
# plain curl (needs Debian's kannel, kannel-extras and curl; run by hand).
add_executable(kannel_batch_bench ${CMAKE_CURRENT_SOURCE_DIR}/KannelBatchBench.cpp)
target_link_libraries(kannel_batch_bench PRIVATE
    mailvane::options mailvane::phone mailvane::phone_test_support mailvane::settings
    mailvane::provisioning)
mailvane_link_phone_devices(kannel_batch_bench)
add_dependencies(kannel_batch_bench mailvane-cli)
target_compile_definitions(kannel_batch_bench PRIVATE
    MAILVANE_CLI_PATH="$<TARGET_FILE:mailvane-cli>"
    MAILVANE_TOKEN_TABLE_PATH="${MAILVANE_TOKEN_TABLE}"
    MAILVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")

# kannel_reports_bench: how long delivery reports take to arrive for a batch
# through Kannel and the tests' SMPP SMS centre (run by hand).
add_executable(kannel_reports_bench ${CMAKE_CURRENT_SOURCE_DIR}/KannelReportsBench.cpp)
target_link_libraries(kannel_reports_bench PRIVATE mailvane::options mailvane::phone_test_support)
add_dependencies(kannel_reports_bench mailvane-cli)
target_compile_definitions(kannel_reports_bench PRIVATE
    MAILVANE_CLI_PATH="$<TARGET_FILE:mailvane-cli>"
    MAILVANE_TOKEN_TABLE_PATH="${MAILVANE_TOKEN_TABLE}"
    MAILVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
