# Windows build: the real Lidwick.dll, the stand-in host ttbhost.exe and the
# release package. Cross-built on Linux, the end-to-end tests come too.

set(static_runtime -static-libgcc -static-libstdc++)

add_library(Lidwick SHARED platform/win32.cpp plugin/dll_main.cpp Lidwick.def Lidwick.rc)
set_target_properties(Lidwick PROPERTIES PREFIX "" OUTPUT_NAME Lidwick)
# The whole core goes in: the exports live in it and nothing else pulls them.
target_link_libraries(Lidwick PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,lidwick_core>" lidwick_flags winmm version user32)
# Exports come from Lidwick.def alone; the runtime is linked in so that the
# DLL needs nothing a Windows machine does not have.
target_link_options(Lidwick PRIVATE ${static_runtime} -s -Wl,--enable-stdcall-fixup)

add_executable(ttbhost host/ttbhost.cpp)
target_include_directories(ttbhost PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(ttbhost PRIVATE lidwick_flags)
target_link_options(ttbhost PRIVATE -static -s)

# The release package: Lidwick-1.0.0.2-win32.zip with the DLL, ttbhost, a
# sample settings file and the install guide, in Windows line ends.
install(TARGETS Lidwick ttbhost RUNTIME DESTINATION . LIBRARY DESTINATION .)
foreach(text Lidwick.ini INSTALL.txt)
    configure_file(package/${text} ${CMAKE_BINARY_DIR}/package/${text} @ONLY NEWLINE_STYLE CRLF)
    install(FILES ${CMAKE_BINARY_DIR}/package/${text} DESTINATION .)
endforeach()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Lidwick)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Lidwick-${PROJECT_VERSION}-win32)
include(CPack)

if(CMAKE_CROSSCOMPILING)
    include(cmake/wine_tests.cmake)
endif()
