mm_bench(TextBench SOURCES TextBench.cpp LIBS platform_gfx)
