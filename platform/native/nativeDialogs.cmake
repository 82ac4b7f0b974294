# Native build only: the USER32/GDI32 stand-ins build their dialogs from the
# same resource script, resource header and pictures as the DLL. The files
# are embedded into the core at build time, so the native programs do not
# need the source tree at run time.
file(GLOB TAVIX_EMBEDDED_BITMAPS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/bitmaps/*.bmp)
set(TAVIX_EMBEDDED_FILES
  ${CMAKE_SOURCE_DIR}/resources/tavixdrv.rc
  ${CMAKE_SOURCE_DIR}/resources/resource.h
  ${TAVIX_EMBEDDED_BITMAPS})
set(TAVIX_EMBEDDED_SOURCE ${CMAKE_BINARY_DIR}/generated/embeddedResources.cpp)
add_custom_command(OUTPUT ${TAVIX_EMBEDDED_SOURCE}
  COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_SOURCE_DIR} -DOUTPUT=${TAVIX_EMBEDDED_SOURCE}
          "-DFILES=${TAVIX_EMBEDDED_FILES}" -P ${CMAKE_SOURCE_DIR}/platform/native/embedResources.cmake
  DEPENDS ${TAVIX_EMBEDDED_FILES} ${CMAKE_SOURCE_DIR}/platform/native/embedResources.cmake
  COMMENT "Embedding the dialog resources for the native build" VERBATIM)
target_sources(tavixcore PRIVATE ${TAVIX_EMBEDDED_SOURCE})
target_include_directories(tavixcore PUBLIC ${CMAKE_SOURCE_DIR}/platform/native/include)
