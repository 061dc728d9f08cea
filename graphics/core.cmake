# The graphics core: value types, the editor object IGraphics and its window-less platform
# class. Included by graphics/CMakeLists.txt into verdigrix_graphics.
target_sources(verdigrix_graphics PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/IGraphics.cpp
    ${CMAKE_CURRENT_LIST_DIR}/IGraphicsHeadless.cpp
    ${CMAKE_CURRENT_LIST_DIR}/IGraphicsWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DoubleClickDetector.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TypingFilter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LineEditor.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EditorFactory.cpp
    ${CMAKE_CURRENT_LIST_DIR}/IMenuModel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PopupMenuLayout.cpp
)
