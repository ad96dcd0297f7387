# The plain Qt window that bench/startup.sh measures the window program against.
add_executable(startup_baseline StartupBaseline.cpp)
target_link_libraries(startup_baseline PRIVATE mailvane::options Qt6::Widgets)
