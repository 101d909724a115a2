# The text and list widgets, the on-screen keyboard, menus and their windows, and tool tips.
target_sources(marlet_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/XEditBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XTree.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XKeyboard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XMenu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XMenuWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XToolTip.cpp
)
