# The upload preparation's measurements (see upload_vs_imagemagick.sh).
add_executable(bench_upload ${CMAKE_CURRENT_LIST_DIR}/bench_upload.cpp)
target_link_libraries(bench_upload PRIVATE palvo_core)
target_include_directories(bench_upload PRIVATE ${PROJECT_SOURCE_DIR}/tests)
palvo_warnings(bench_upload)
