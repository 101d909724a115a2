# Buttons, toggles, sliders with their fader and knob forms, tabs, selectors, labels, progress.
marlet_add_test(gui_buttons_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ButtonWidgetsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SliderWidgetsTest.cpp
  LIBS marlet_gui marlet_gui_test_support
  LABELS threading)
