# Text: font matching (fontconfig), glyph rasterising (FreeType), layout with
# right-to-left ordering (FriBidi) and text output on device contexts.
find_package(Freetype REQUIRED)
find_package(Fontconfig REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(FRIBIDI REQUIRED IMPORTED_TARGET fribidi)

target_sources(platform_gfx PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/FontMatch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GlyphCache.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Font.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Text.cpp)
target_link_libraries(platform_gfx PRIVATE Freetype::Freetype Fontconfig::Fontconfig
  PkgConfig::FRIBIDI)
