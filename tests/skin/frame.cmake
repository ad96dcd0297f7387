# Tests of the PNG decoder, skin images, the skinned dialog frame, the skin
# library location and the generated default skin.
mailvane_add_test(skin_frame_tests QT
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/TestPngWriter.cpp
        ${CMAKE_CURRENT_LIST_DIR}/PngDecoderTest.cpp
    LIBS mailvane::skin mailvane::test_resources PNG::PNG)
