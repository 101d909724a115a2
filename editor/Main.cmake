# The main editor view and its message box.
target_sources(marlet_editor PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/GigaEditor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GigaEditorCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GigaEditorMute.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WMessage.cpp)
