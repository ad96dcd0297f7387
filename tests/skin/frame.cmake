# Tests of the PNG decoder, skin images, the skinned dialog frame, the skin
# library location and the generated default skin.
mailvane_add_test(skin_frame_tests QT
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/TestPngWriter.cpp
        ${CMAKE_CURRENT_LIST_DIR}/DisplayPngDecoderTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/SkinDialogTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/SkinImageTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/SkinLibraryLocatorTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/SkinPieceTest.cpp
    LIBS mailvane::skin mailvane::test_resources PNG::PNG)

# The default skin drawn by the build, and the settings the build writes.
mailvane_add_test(skin_default_tests QT
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/DefaultSkinTest.cpp
    LIBS mailvane::skin)
add_dependencies(skin_default_tests mailvane_default_skin)
target_compile_definitions(skin_default_tests PRIVATE
    MAILVANE_DEFAULT_SKIN="${MAILVANE_SKIN_FILE}"
    MAILVANE_BUILD_XDG_DIR="${PROJECT_BINARY_DIR}/xdg")
