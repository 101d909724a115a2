# The settings window and its two pages.
target_sources(marlet_editor PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/WSettings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XViewControl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XViewDisk.cpp)
