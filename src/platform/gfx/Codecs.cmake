# Image codecs of the drawing layer: BMP (own reader), PNG (libpng), JPEG (libjpeg).
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
target_sources(platform_gfx PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ImageCodec.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BmpCodec.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PngCodec.cpp
  ${CMAKE_CURRENT_LIST_DIR}/JpegCodec.cpp)
target_link_libraries(platform_gfx PUBLIC PNG::PNG JPEG::JPEG)
