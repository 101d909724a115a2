# The file browser: the favourites store, the tree over generated folders, the panel.
marlet_add_test(editor_browser_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/BrowserFavoritesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BrowserTreeTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BrowserViewTest.cpp
  LIBS marlet_editor marlet_editor_test_support marlet_fixture_writers marlet_demo_bank
  LABELS threading)
