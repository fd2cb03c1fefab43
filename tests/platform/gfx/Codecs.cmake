# Tests and fuzz targets of the image codecs.
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
mm_test(platform_gfx_codecs_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ImageCodecTestData.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BmpCodecTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PngCodecTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/JpegCodecTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ImageCodecTest.cpp
  LIBS platform_gfx test_support PNG::PNG JPEG::JPEG)

# The seed corpora are written by the test data builders when a fuzzer starts,
# so it begins from valid files of every supported kind.
foreach(format Bmp Png Jpeg)
  mm_fuzz(platform_gfx_${format}_fuzz
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/${format}CodecFuzz.cpp
      ${CMAKE_CURRENT_LIST_DIR}/ImageCodecFuzzCorpus.cpp
      ${CMAKE_CURRENT_LIST_DIR}/ImageCodecTestData.cpp
    LIBS platform_gfx PNG::PNG JPEG::JPEG
    SECONDS 10)
  if(TARGET platform_gfx_${format}_fuzz)
    target_compile_definitions(platform_gfx_${format}_fuzz PRIVATE
      MM_BINARY_DIR="${PROJECT_BINARY_DIR}")
  endif()
endforeach()
