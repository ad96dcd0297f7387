# The message box, the file dialog, the property sheet with its tabs, the
# splash window and the About box.
list(APPEND MAILVANE_SKIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/MessageBoxHook.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MessageBoxLayout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MessageBoxWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SkinMessageBox.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileDialogRequest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileDialogHook.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileDialogExtension.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileDialogFrame.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileDialogPathCheck.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SkinColours.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MessageBoxIcon.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileDialogPool.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EmbeddedFileDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileDialogWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/COrvexFileDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TabComposer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SkinTabCtrl.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TabStripAccessible.cpp
    ${CMAKE_CURRENT_LIST_DIR}/COrvexPropertyPage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/COrvexPropertySheet.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowOpacitySupport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SplashWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SplashWnd.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProgramVersion.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AboutBox.cpp
)
