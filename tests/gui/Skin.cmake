# The skin: every picture is built in at its size, and the committed pictures are what the
# generator draws now.
marlet_add_test(gui_skin_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SkinTest.cpp
  LIBS marlet_gui marlet_skin_art marlet_gui_test_support
  LABELS threading)
