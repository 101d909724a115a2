# The stack editor: its window, titled panels, layer map and keyboard.
target_sources(marlet_editor PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/StackKeySwitch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WStackEdit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XPanLab.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XStack_Keyb.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XStack_List.cpp
)
