# Tests of the message box, the file dialog, the property sheet and tabs, the
# splash window and the About box.
mailvane_add_test(skin_toolkit_tests QT
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/MessageBoxTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/FileDialogTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/TabCompositionTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/SplashAboutTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/AccessibilityTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/SkinTextColoursTest.cpp
    LIBS mailvane::skin mailvane::test_resources Qt6::Test)

# The same toolkit at a scale factor of 2 (the suite's main sets it).
mailvane_add_test(skin_scale_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ScaleTwoTest.cpp
    LIBS mailvane::skin mailvane::test_resources Qt6::Widgets)
