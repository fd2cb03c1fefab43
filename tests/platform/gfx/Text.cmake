mm_test(TextLayoutTest SOURCES TextLayoutTest.cpp LIBS platform_gfx)
mm_test(FontTest SOURCES FontTest.cpp LIBS platform_gfx)
mm_test(TextTest SOURCES TextTest.cpp PixelCheck.cpp LIBS platform_gfx)
mm_test(TextReferenceTest SOURCES TextReferenceTest.cpp PixelCheck.cpp LIBS platform_gfx)
