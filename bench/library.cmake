# Benchmarks of the picture library: thumbnail fill times and the grid's
# screenshot for the documentation.
add_executable(bench_thumbnails bench_thumbnails.cpp)
target_link_libraries(bench_thumbnails PRIVATE palvo_ui)
palvo_warnings(bench_thumbnails)

add_executable(bench_library_screenshot bench_library_screenshot.cpp)
target_link_libraries(bench_library_screenshot PRIVATE palvo_ui)
palvo_warnings(bench_library_screenshot)
