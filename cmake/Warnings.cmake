# Compiler warnings and Qt strictness shared by every target of the project.
add_library(brisvane_warnings INTERFACE)
target_compile_options(brisvane_warnings INTERFACE
    -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wold-style-cast)
if(BRISVANE_WERROR)
    target_compile_options(brisvane_warnings INTERFACE -Werror)
endif()
target_compile_definitions(brisvane_warnings INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_DISABLE_DEPRECATED_BEFORE=0x060400)
