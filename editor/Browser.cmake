# The file browser: the favourites store, the tree of folders and .gig files, the panel.
target_sources(marlet_editor PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TreeFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UProgramList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XListInst.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XListLink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XTreeGiga.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XViewNav.cpp)
