# Decoding times of skin-sized images; the files are made by the tests' builders.
mm_bench(gfx_codecs_bench
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ImageCodecBench.cpp
    ${PROJECT_SOURCE_DIR}/tests/platform/gfx/ImageCodecTestData.cpp
  LIBS platform_gfx)
target_include_directories(gfx_codecs_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/platform/gfx)
