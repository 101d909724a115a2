# The dialogs' tests. Their reference pictures live beside them, under references/: the same
# reference-picture support as the GUI tests, built here with this folder's paths.
add_library(marlet_dialogs_reference_support STATIC
  ${CMAKE_CURRENT_LIST_DIR}/../gui/support/ReferenceImage.cpp)
target_link_libraries(marlet_dialogs_reference_support PUBLIC marlet_gui GTest::gtest)
target_include_directories(marlet_dialogs_reference_support SYSTEM PRIVATE ${MARLET_STB_INCLUDE})
target_compile_definitions(marlet_dialogs_reference_support PRIVATE
  MARLET_GUI_REFERENCES="${CMAKE_CURRENT_LIST_DIR}/references"
  MARLET_GUI_FAILURES="${CMAKE_BINARY_DIR}/editor-failures")

marlet_add_test(editor_dialogs_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/DialogsConfirmTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DialogsMissingTest.cpp
  LIBS marlet_editor marlet_dialogs_reference_support
  LABELS threading)
