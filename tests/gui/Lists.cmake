# The text and list widgets, the on-screen keyboard, menus and their windows.
marlet_add_test(gui_lists_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/EditBoxTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ListTreeTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KeyboardMenuTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MenuWindowTest.cpp
  LIBS marlet_gui marlet_gui_test_support
  LABELS threading)
