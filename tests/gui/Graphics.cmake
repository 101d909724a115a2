# The drawing half's tests, and the reference-picture support every GUI test may link.
add_library(marlet_gui_test_support STATIC ${CMAKE_CURRENT_LIST_DIR}/support/ReferenceImage.cpp)
target_link_libraries(marlet_gui_test_support PUBLIC marlet_gui GTest::gtest)
target_include_directories(marlet_gui_test_support SYSTEM PRIVATE ${MARLET_STB_INCLUDE})
target_compile_definitions(marlet_gui_test_support PRIVATE
  MARLET_GUI_REFERENCES="${CMAKE_CURRENT_LIST_DIR}/references"
  MARLET_GUI_FAILURES="${CMAKE_BINARY_DIR}/gui-failures")

marlet_add_test(gui_graphics_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/GraphicsPrimitivesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GraphicsTextTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GraphicsPicTest.cpp
  LIBS marlet_gui marlet_gui_test_support
  LABELS threading)
