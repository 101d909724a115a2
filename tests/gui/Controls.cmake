#The control tree, views, scrolling, popups, drag and drop and the window core.
set(gui_controls_sources $ {CMAKE_CURRENT_LIST_DIR} /
    EventQueueTest.cpp $ {CMAKE_CURRENT_LIST_DIR} / BroadcasterTest.cpp)
    set(gui_controls_libs marlet_gui) if (TARGET marlet_gui_test_support)
        list(APPEND gui_controls_libs marlet_gui_test_support) endif()
            marlet_add_test(gui_controls_test SOURCES $ {gui_controls_sources} LIBS $ {
                gui_controls_libs} LABELS threading)
