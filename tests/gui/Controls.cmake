# The control tree, views, scrolling, popups, drag and drop and the window core.
marlet_add_test(gui_controls_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/EventQueueTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BroadcasterTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ControlTreeTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ViewTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ViewPortTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WinGuiTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ComposedViewReferenceTest.cpp
  LIBS marlet_gui marlet_gui_test_support
  LABELS threading)
