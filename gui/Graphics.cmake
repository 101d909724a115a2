# The drawing half of the GUI framework: colours, rectangles, the pixel surface, text from the
# built-in Liberation Sans (through FreeType on Linux, GDI on Windows), and the skin pictures
# (PNG through stb_image).
if(CMAKE_CROSSCOMPILING)
  # The cross build must not see the build machine's /usr/include: only stb's own folder is
  # copied into the build tree and searched (the skin tool writes PNGs with it too).
  find_path(MARLET_STB_HOST_INCLUDE stb/stb_image.h PATHS /usr/include /usr/local/include
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  set(MARLET_STB_INCLUDE ${CMAKE_BINARY_DIR}/stb-include CACHE INTERNAL "stb, copied")
  file(COPY ${MARLET_STB_HOST_INCLUDE}/stb DESTINATION ${MARLET_STB_INCLUDE})
else()
  find_path(MARLET_STB_INCLUDE stb/stb_image.h REQUIRED)
endif()
include(${PROJECT_SOURCE_DIR}/cmake/Embed.cmake)

set(marlet_gui_generated ${CMAKE_CURRENT_BINARY_DIR}/embedded)
marlet_embed(${marlet_gui_generated}/EmbeddedFonts.cpp MarletEmbeddedFonts
  ${PROJECT_SOURCE_DIR}/resources/fonts/LiberationSans-Regular.ttf
  ${PROJECT_SOURCE_DIR}/resources/fonts/LiberationSans-Bold.ttf)
# Whatever skin pictures exist; none is fine (pictures then fail to load and controls fall back
# to plain drawing). A new PNG in resources/skin is picked up by the next build, under its file
# name (XPic looks names up ignoring case).
file(GLOB marlet_skin_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/skin/*.png)
list(SORT marlet_skin_files)
marlet_embed(${marlet_gui_generated}/EmbeddedSkin.cpp MarletEmbeddedSkin ${marlet_skin_files})

target_sources(marlet_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/XColor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XRect.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XRegn.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XPic.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XSkin.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XFont.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XGraphic.cpp
  ${marlet_gui_generated}/EmbeddedFonts.cpp
  ${marlet_gui_generated}/EmbeddedSkin.cpp
)
target_include_directories(marlet_gui SYSTEM PRIVATE ${MARLET_STB_INCLUDE})
if(WIN32)
  target_sources(marlet_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/win32/XFontGdi.cpp)
  target_link_libraries(marlet_gui PRIVATE gdi32)
else()
  find_package(Freetype REQUIRED)
  target_sources(marlet_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/XFontFreeType.cpp)
  target_link_libraries(marlet_gui PRIVATE Freetype::Freetype)
endif()
