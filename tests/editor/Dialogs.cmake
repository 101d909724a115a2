# The dialogs: the save confirmation and the missing-files search.
marlet_add_test(editor_dialogs_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/DialogsConfirmTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DialogsMissingTest.cpp
  LIBS marlet_editor marlet_editor_test_support
  LABELS threading)
