# The control tree and its events: views, panes, scrolling, popups, drag and drop, the window core.
target_sources(marlet_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/XEventQueue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XBroadcaster.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XControl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XPane.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XScrollView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XViewPort.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XScrollBar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XTheme.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XDragger.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WPopup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XWinGui.cpp
)
