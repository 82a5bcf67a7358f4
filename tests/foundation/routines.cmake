# Tests of QFileRoutine and the shell routines.
palvo_add_test(NAME test_qfileroutine
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_qfileroutine.cpp
  LIBS palvo_core)
palvo_add_test(NAME test_shellroutine
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_shellroutine.cpp
  LIBS palvo_core)
