# The editor's X11 window against a virtual X server. The tests skip without a display, so the
# CTest entry runs them under xvfb-run when it is there, never on the developer's own screen.
if(MARLET_THREADING_TESTS_ONLY OR NOT TARGET marlet_gui_x11)
  return()
endif()
find_package(PkgConfig REQUIRED)
pkg_check_modules(WINDOW_TEST_XTEST REQUIRED IMPORTED_TARGET xcb-xtest)

add_executable(gui_window_test ${CMAKE_CURRENT_LIST_DIR}/WindowX11Test.cpp)
target_link_libraries(gui_window_test PRIVATE marlet_gui_x11 PkgConfig::WINDOW_TEST_XTEST
  GTest::gtest GTest::gtest_main)

find_program(MARLET_XVFB_RUN xvfb-run)
if(MARLET_XVFB_RUN)
  add_test(NAME gui_window COMMAND ${MARLET_XVFB_RUN} -n 160 -a -s "-noreset -screen 0 1024x768x24"
    $<TARGET_FILE:gui_window_test>)
else()
  add_test(NAME gui_window COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY
    $<TARGET_FILE:gui_window_test>)
endif()
set_tests_properties(gui_window PROPERTIES LABELS window TIMEOUT 300)
