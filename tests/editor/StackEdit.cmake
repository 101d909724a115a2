# The stack editor against a real player (threading: edits while the tone plays and loads).
marlet_add_test(editor_stack_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/StackEditTest.cpp
  LIBS marlet_editor marlet_editor_test_support marlet_fixture_writers marlet_demo_bank
  LABELS threading)
