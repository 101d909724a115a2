# The dialogs: the save confirmation and the search for missing instrument files.
target_sources(marlet_editor PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/WConfirm.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WMissing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UMissingList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UFolderWalk.cpp)
