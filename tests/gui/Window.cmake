# The editor's X11 window against a virtual X server of the program's own, which it starts
# itself (tests/support/VirtualDisplayEnvironment.h): never the developer's screen, never a
# display another test program uses, under ctest or started by hand. Without Xvfb the tests
# that need a display skip.
if(MARLET_THREADING_TESTS_ONLY OR NOT TARGET marlet_gui_x11)
  return()
endif()
find_package(PkgConfig REQUIRED)
pkg_check_modules(WINDOW_TEST_XTEST REQUIRED IMPORTED_TARGET xcb-xtest)

add_executable(gui_window_test ${CMAKE_CURRENT_LIST_DIR}/WindowX11Test.cpp ${marlet_test_display})
target_link_libraries(gui_window_test PRIVATE marlet_gui_x11 PkgConfig::WINDOW_TEST_XTEST
  GTest::gtest GTest::gtest_main)

add_test(NAME gui_window COMMAND $<TARGET_FILE:gui_window_test>)
set_tests_properties(gui_window PROPERTIES LABELS window TIMEOUT 300)
