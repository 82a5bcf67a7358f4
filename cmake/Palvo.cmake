# Warnings are errors for the project's own code only; third-party headers
# come in through imported targets as system includes.
function(palvo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Werror)
endfunction()

# One test executable per unit. Every test runs inside a fresh temporary home
# (HOME, XDG_*, TMPDIR) under the offscreen platform, so no test can touch the
# real user's files.
#   palvo_add_test(NAME name SOURCES a.cpp b.cpp [LIBS extra...] [WIDGETS] [TIMEOUT s])
# WIDGETS gives the test a QApplication main (window tests); otherwise it gets
# a QGuiApplication main.
function(palvo_add_test)
  cmake_parse_arguments(T "WIDGETS" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(T_WIDGETS)
    set(main ${PROJECT_SOURCE_DIR}/tests/support/main_widgets.cpp)
    list(APPEND T_LIBS Qt6::Widgets)
  else()
    set(main ${PROJECT_SOURCE_DIR}/tests/support/main_gui.cpp)
  endif()
  add_executable(${T_NAME} ${T_SOURCES} ${main})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock Qt6::Test)
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_options(${T_NAME} PRIVATE -include ${PROJECT_SOURCE_DIR}/tests/support/PrintQt.h)
  target_compile_definitions(${T_NAME} PRIVATE
    PALVO_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    PALVO_PROGRAM_DIR="${PALVO_PROGRAM_DIR}")
  palvo_warnings(${T_NAME})
  add_test(NAME ${T_NAME}
           COMMAND ${PROJECT_SOURCE_DIR}/tests/isolate.sh $<TARGET_FILE:${T_NAME}>)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()
