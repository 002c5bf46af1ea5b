# Installed files and the Debian package (cpack -G DEB).
include(GNUInstallDirs)

set(PAQUET testeur-climat)
set(DOC_PAQUET ${CMAKE_INSTALL_DATADIR}/doc/${PAQUET})

# The manual page and the changelog are installed compressed, as a Debian
# package carries them; gzip -n leaves no time stamp in them.
find_program(GZIP gzip)
function(installe_compresse source destination)
  get_filename_component(nom ${source} NAME)
  if(GZIP)
    set(sortie ${CMAKE_CURRENT_BINARY_DIR}/${nom}.gz)
    add_custom_command(OUTPUT ${sortie}
                       COMMAND ${GZIP} -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/${source} > ${sortie}
                       DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${source} VERBATIM)
    add_custom_target(compresse_${nom} ALL DEPENDS ${sortie})
    install(FILES ${sortie} DESTINATION ${destination})
  else()
    install(FILES ${source} DESTINATION ${destination})
  endif()
endfunction()

install(TARGETS testeur_climat verifie_climat RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
installe_compresse(docs/testeur_climat.1 ${CMAKE_INSTALL_MANDIR}/man1)
installe_compresse(docs/verifie_climat.1 ${CMAKE_INSTALL_MANDIR}/man1)
installe_compresse(debian/changelog ${DOC_PAQUET})
install(FILES debian/copyright DESTINATION ${DOC_PAQUET})
install(FILES docs/guide-climat.md DESTINATION ${DOC_PAQUET})
# The examples the guide names, each with its exact report; climate files
# are Latin-1 by nature, so they are data of the program, not documentation.
install(DIRECTORY exemples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/${PAQUET}/exemples)
install(FILES debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ${PAQUET})
install(FILES docs/testeur_climat.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# A climate file is known by its content: to the desktop (a MIME type of its
# own, whose database the shared-mime-info trigger refreshes), to vim (where
# Debian's vim finds system-wide add-ons), to Neovim and to Emacs.
install(FILES editeurs/mime/testeur-climat.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
foreach(sorte ftdetect ftplugin syntax compiler)
  install(DIRECTORY editeurs/vim/${sorte} DESTINATION ${CMAKE_INSTALL_DATADIR}/vim/vimfiles)
  # Debian's Neovim reads the same files from its own site folder.
  install(DIRECTORY editeurs/vim/${sorte} DESTINATION ${CMAKE_INSTALL_DATADIR}/nvim/site)
endforeach()
# And starts the language server on a climate buffer.
install(FILES editeurs/nvim/ftplugin/climat.lua DESTINATION ${CMAKE_INSTALL_DATADIR}/nvim/site/ftplugin)
install(FILES editeurs/emacs/climat-mode.el DESTINATION ${CMAKE_INSTALL_DATADIR}/emacs/site-lisp)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PAQUET})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Équipe Aubrelis <aubrelis@users.noreply.github.com>")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xterm, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "checker for the climate files of the Aubrelis weather simulation")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Aubrelis is a suite of console tools for tabletop role-playing games.
testeur_climat reads a climate file of its weather simulation once, from top
to bottom, and reports every error and warning with its line number, in
French, on the console and in Erreur.log. Started from a desktop launcher,
it opens its own xterm window.
.
verifie_climat makes the same check for editors, scripts and commit hooks:
one line per finding with its code, or JSON, and an exit status; with
--lsp it is a language server that shows the findings as the author types.")
include(CPack)
