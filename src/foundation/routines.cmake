# QFileRoutine and the shell routines.
target_sources(palvo_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/QFileRoutine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShellRoutine.cpp
)
