# The picture viewer: its arithmetic and state (window-free) and the picture
# view widget with the viewer controller.
target_sources(palvo_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ViewerGeometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ViewerState.cpp
)
target_sources(palvo_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ui/PictureView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui/PictureViewer.cpp
)
