mm_test(TextLayoutTest SOURCES TextLayoutTest.cpp LIBS platform_gfx)
