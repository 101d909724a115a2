# The rack and its tone views against a real player (threading: notifications from the audio
# and loading threads).
marlet_add_test(editor_views_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ToneViewTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ToneViewThreadTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ToneViewFakeTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ToneViewPictureTest.cpp
  LIBS marlet_editor marlet_editor_test_support marlet_fixture_writers marlet_demo_bank
  LABELS threading)
