# The settings window.
marlet_add_test(editor_settings_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/SettingsTest.cpp
  LIBS marlet_editor marlet_editor_test_support
  LABELS threading)
