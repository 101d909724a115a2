marlet_add_test(gui_file_nav_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/FileNavTest.cpp
  LIBS marlet_gui marlet_fixture_writers)
