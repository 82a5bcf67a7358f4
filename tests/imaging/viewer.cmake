# Tests of the picture viewer.
palvo_add_test(NAME test_viewer_geometry SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_viewer_geometry.cpp LIBS palvo_core)
palvo_add_test(NAME test_viewer_view SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_viewer_view.cpp LIBS palvo_ui WIDGETS)
palvo_add_test(NAME test_viewer_controller SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_viewer_controller.cpp LIBS palvo_ui WIDGETS)
