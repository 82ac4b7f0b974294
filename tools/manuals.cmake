# The manual pages, made by help2man from the programs' own --help and
# --version and the written sections in docs/man/*.h2m. Without help2man
# the build goes on without them (scripts/install-deps.sh installs it).
find_program(HELP2MAN_PROGRAM help2man)
if(NOT HELP2MAN_PROGRAM)
  message(STATUS "help2man not found: the manual pages are not made")
  return()
endif()

set(TAVIX_MAN_DIR ${CMAKE_BINARY_DIR}/man)
set(TAVIX_MANUALS)

# tavix_manual(PROGRAM-TARGET SECTION NAME-LINE [EXTRA-INCLUDE])
function(tavix_manual target section name)
  set(page ${TAVIX_MAN_DIR}/${target}.${section})
  set(includes --include=${CMAKE_SOURCE_DIR}/docs/man/${target}.h2m)
  set(depends ${target} ${CMAKE_SOURCE_DIR}/docs/man/${target}.h2m)
  if(ARGC GREATER 3)
    list(APPEND includes --include=${ARGV3})
    list(APPEND depends ${ARGV3})
  endif()
  add_custom_command(OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TAVIX_MAN_DIR}
    COMMAND ${HELP2MAN_PROGRAM} --no-info --section=${section} --name=${name}
            ${includes} --output=${page} $<TARGET_FILE:${target}>
    DEPENDS ${depends} VERBATIM)
  set(TAVIX_MANUALS_${section} ${TAVIX_MANUALS_${section}} ${page} PARENT_SCOPE)
endfunction()

# tavix's page holds every command's options, from each command's --help.
set(TAVIX_COMMANDS_INCLUDE ${TAVIX_MAN_DIR}/tavix-commands.h2m)
add_custom_command(OUTPUT ${TAVIX_COMMANDS_INCLUDE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TAVIX_MAN_DIR}
  COMMAND sh ${CMAKE_SOURCE_DIR}/scripts/man-commands.sh $<TARGET_FILE:tavix> > ${TAVIX_COMMANDS_INCLUDE}
  DEPENDS tavix ${CMAKE_SOURCE_DIR}/scripts/man-commands.sh VERBATIM)

tavix_manual(tavix 1 "configure the TAVIXDRV plotter driver, plot drawings to printer files, preview them"
             ${TAVIX_COMMANDS_INCLUDE})
if(TARGET tavix-preview)
  tavix_manual(tavix-preview 1 "draw a TAVIX E printer stream as a picture")
endif()
if(TARGET rastertotavix)
  # A filter that CUPS runs, not a command: section 7, as CUPS's filter(7).
  tavix_manual(rastertotavix 7 "CUPS filter of the TAVIX E wide-format printers")
endif()
if(TARGET tavix-printer-app)
  tavix_manual(tavix-printer-app 1 "IPP Everywhere printer application of the TAVIX E wide-format printers")
endif()
if(TARGET pdftotavix)
  tavix_manual(pdftotavix 7 "CUPS filter that prints PDFs as vectors on the TAVIX E wide-format printers")
endif()
add_custom_target(tavix-manuals ALL DEPENDS ${TAVIX_MANUALS_1} ${TAVIX_MANUALS_7})
install(FILES ${TAVIX_MANUALS_1} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${TAVIX_MANUALS_7} DESTINATION ${CMAKE_INSTALL_MANDIR}/man7)
