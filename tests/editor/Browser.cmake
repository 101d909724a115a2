# The file browser: the favourites store, the tree over generated folders, the panel.
marlet_add_test(editor_browser_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/BrowserFavoritesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BrowserTreeTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BrowserViewTest.cpp
  LIBS marlet_editor marlet_editor_test_support marlet_fixture_writers marlet_demo_bank
  LABELS threading)
# Its slow file is held by the platform's seam for reads, which the program exports.
if(NOT WIN32 AND TARGET editor_browser_test)
  target_sources(editor_browser_test PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/HeldReads.cpp)
  set_target_properties(editor_browser_test PROPERTIES ENABLE_EXPORTS ON)
endif()
