# The rack and its tone views, with the widgets they are made of.
target_sources(marlet_editor PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/GigaInstrumentMenu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GigaView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GigaViewEdits.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GigaViewRefresh.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GigaViewText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XDimList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XGigaBot.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XGigaName.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XGigaPart.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XGigaTop.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XHotSpot.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XMenuAsk.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XMyLed.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XProgInfo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XProgramPanel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XRackUnit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XSelectLcd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XStackPanel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XStripControls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XToneRack.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XToneView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XValBot.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XValTop.cpp
)
