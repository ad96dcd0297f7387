# kannel_batch_bench: batch sending through a Kannel gateway on loopback against
# plain curl (needs Debian's kannel, kannel-extras and curl; run by hand).
add_executable(kannel_batch_bench ${CMAKE_CURRENT_SOURCE_DIR}/KannelBatchBench.cpp)
target_link_libraries(kannel_batch_bench PRIVATE
    mailvane_bench_support mailvane::phone mailvane::settings mailvane::provisioning)
mailvane_link_phone_devices(kannel_batch_bench)

# kannel_reports_bench: how long delivery reports take to arrive for a batch
# through Kannel and the tests' SMPP SMS centre (run by hand).
add_executable(kannel_reports_bench ${CMAKE_CURRENT_SOURCE_DIR}/KannelReportsBench.cpp)
target_link_libraries(kannel_reports_bench PRIVATE mailvane_bench_support)

# kannel_busy_bench: 1,000 numbers through a Kannel gateway answering 503 while
# its short queue is full; time, rate, messages tried again, each push once
# (run by hand).
add_executable(kannel_busy_bench ${CMAKE_CURRENT_SOURCE_DIR}/KannelBusyBench.cpp)
target_link_libraries(kannel_busy_bench PRIVATE mailvane_bench_support)
