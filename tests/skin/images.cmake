# Tests of the image container, its loaders and regions, and the bitmap button.
mailvane_add_test(skin_images_test QT
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/ImageFixtures.cpp
        ${CMAKE_CURRENT_LIST_DIR}/RegionBuilderTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/GifLoadingTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/MonoBitmapDecoderTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/COBitmapUtilTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/PictureGateTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/BmpButtonTest.cpp
    LIBS mailvane::skin Qt6::Test)
target_compile_definitions(skin_images_test PRIVATE
    MAILVANE_RCC="$<TARGET_FILE:Qt6::rcc>")
