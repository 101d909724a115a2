#The control tree and its events : views, panes, scrolling, popups, drag and drop, the window core.
target_sources(marlet_gui PRIVATE $ {CMAKE_CURRENT_LIST_DIR} /
               XEventQueue.cpp $ {CMAKE_CURRENT_LIST_DIR} / XBroadcaster.cpp)
