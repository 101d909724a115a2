# The main editor against a real player: commands, dialogs, mute and solo, its pictures.
marlet_add_test(editor_main_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/GigaEditorTest.cpp ${CMAKE_CURRENT_LIST_DIR}/EditorHostStateTest.cpp
  LIBS marlet_editor marlet_editor_test_support marlet_demo_bank marlet_fixture_writers
  LABELS threading)
