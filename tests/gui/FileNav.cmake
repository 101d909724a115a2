# The desktop's dialog programs (stand-in zenity and kdialog scripts) and our own dialog, which
# only a desktop without them shows: Windows has the system's dialogs (tests/wingui).
if(WIN32)
  return()
endif()
marlet_add_test(gui_file_nav_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/FileNavTest.cpp
  LIBS marlet_gui marlet_fixture_writers)
