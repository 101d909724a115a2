# The buttons and value controls: buttons, toggles, sliders with their fader and knob forms,
# tabs, selectors, labels and progress bars.
target_sources(marlet_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/XButton.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XLogo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XToggle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XCheckBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XTogLed.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XSlider.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XFader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XPotar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XTabs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XSelect.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XLabel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XProgress.cpp
)
