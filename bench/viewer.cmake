# Benchmark of the picture viewer: large pictures shown in the real window.
add_executable(bench_viewer bench_viewer.cpp)
target_link_libraries(bench_viewer PRIVATE palvo_ui Qt6::Test)
palvo_warnings(bench_viewer)
