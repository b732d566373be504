# What `cmake --install` puts into the prefix, for a host that links mapdeck:
#   <libdir>/libmapdeck.so.<version> (soname libmapdeck.so.<major>), the one
#       library in <libdir>, which finds the stand-in libraries it runs on in
#       <libdir>/mapdeck/ (run path $ORIGIN/mapdeck); they find each other
#       through $ORIGIN, and their generic names stay out of <libdir>; the
#       feature sets' library also finds libmapdeck through $ORIGIN/.., to
#       load it for a host linked without it;
#   <libdir>/mapdeck/mapdeck-metafile the program metafiles are drawn in,
#       and mapdeck-warden, which starts it and ends what it leaves running,
#       both found by the imaging library beside itself;
#   <includedir>/mapdeck/ the element interfaces (every igis_*.h of the layout
#       library and the frame property's exports), printing with the metafile
#       limits it names, the host display's screen view for a host that shows
#       pages itself, and the interfaces of the stand-in host libraries,
#       with every header they include, kept at their paths from the
#       repository root (every project file a header names is installed:
#       scripts/check-named-paths.py);
#   <includedir>/mapdeck/mapdeck_controls.h the control IDs of every dialog
#       template, generated from the .dlg files, for scripting dialogs with
#       platform/ui/driver.h;
#   <docdir>/<path>/FORMAT.md the documents of the stored formats, at their
#       paths in the repository, as the headers name them;
#   <datadir>/mapdeck/maps/ the sample maps (GeoJSON map files for
#       GIS_LoadMapFile);
#   <datadir>/mapdeck/othercomponents.cfg an empty component list, which map
#       frames read when none lies beside the host program;
#   <libdir>/cmake/mapdeck/ a package for find_package(mapdeck): the imported
#       target mapdeck::mapdeck;
#   <libdir>/pkgconfig/mapdeck.pc for pkg-config.
include(GNUInstallDirs)

set_target_properties(mapdeck PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})

get_property(md_shared GLOBAL PROPERTY MD_SHARED_LIBRARIES)
list(REMOVE_ITEM md_shared mapdeck)
set(md_private_libdir ${CMAKE_INSTALL_LIBDIR}/mapdeck)
set_target_properties(mapdeck PROPERTIES INSTALL_RPATH "$ORIGIN/mapdeck")
foreach(lib ${md_shared})
  set_target_properties(${lib} PROPERTIES INSTALL_RPATH "$ORIGIN")
endforeach()
# The feature sets load libmapdeck itself, from the folder above, when a host
# that only reads pages was linked without it.
set_target_properties(featra PROPERTIES INSTALL_RPATH "$ORIGIN;$ORIGIN/..")
install(TARGETS mapdeck LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS ${md_shared} LIBRARY DESTINATION ${md_private_libdir})
install(TARGETS mapdeck-metafile mapdeck-warden RUNTIME DESTINATION ${md_private_libdir})

# The public headers and, transitively, every header of the tree they include.
file(GLOB_RECURSE md_public_headers RELATIVE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/layout/*/igis_*.h
     ${PROJECT_SOURCE_DIR}/host/*/igis_*.h)
list(APPEND md_public_headers layout/graphicelement/igis_element.h
     layout/graphicelement/frame/cgis_frameproperty.h layout/graphicelement/print/gis_pageprint.h
     platform/imaging/metafilelimits.h platform/imaging/picturecache.h host/helmora/gis_mapfile.h
     platform/ui/driver.h
     host/display/cgis_screendisplay.h)
list(REMOVE_DUPLICATES md_public_headers)
set(md_queue ${md_public_headers})
set(md_headers)
while(md_queue)
  list(POP_FRONT md_queue header)
  if(header IN_LIST md_headers)
    continue()
  endif()
  list(APPEND md_headers ${header})
  file(STRINGS ${PROJECT_SOURCE_DIR}/${header} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line ${includes})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" included "${line}")
    if(EXISTS ${PROJECT_SOURCE_DIR}/${included})
      list(APPEND md_queue ${included})
    else()
      message(FATAL_ERROR "${header} includes ${included}, which is not a path from the repository root")
    endif()
  endforeach()
endwhile()
foreach(header ${md_headers})
  get_filename_component(dir ${header} DIRECTORY)
  install(FILES ${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/mapdeck/${dir})
endforeach()
# Documents the installed headers point to, beside them.
install(FILES host/glyphor/STYLES.md DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/mapdeck/host/glyphor)
# The documents of the stored formats, at their paths in the repository, by
# which the headers name them.
file(GLOB_RECURSE md_format_documents RELATIVE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/platform/*/FORMAT.md
     ${PROJECT_SOURCE_DIR}/host/*/FORMAT.md ${PROJECT_SOURCE_DIR}/layout/*/FORMAT.md
     ${PROJECT_SOURCE_DIR}/resources/FORMAT.md)
foreach(document ${md_format_documents})
  get_filename_component(dir ${document} DIRECTORY)
  install(FILES ${document} DESTINATION ${CMAKE_INSTALL_DOCDIR}/${dir})
endforeach()

# The control IDs of the dialog templates, by dialog.
file(GLOB_RECURSE md_dialog_templates RELATIVE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/layout/*.dlg
     ${PROJECT_SOURCE_DIR}/host/*.dlg ${PROJECT_SOURCE_DIR}/platform/*.dlg)
list(SORT md_dialog_templates)
list(JOIN md_dialog_templates "|" md_dialog_template_list)
add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/mapdeck_controls.h
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR} "-DTEMPLATES=${md_dialog_template_list}"
          -DOUTPUT=${PROJECT_BINARY_DIR}/mapdeck_controls.h -P ${PROJECT_SOURCE_DIR}/cmake/dialogcontrols.cmake
  DEPENDS ${PROJECT_SOURCE_DIR}/cmake/dialogcontrols.cmake ${md_dialog_templates}
  COMMENT "Listing the dialogs' control IDs"
  VERBATIM)
add_custom_target(mapdeck_controls ALL DEPENDS ${PROJECT_BINARY_DIR}/mapdeck_controls.h)
install(FILES ${PROJECT_BINARY_DIR}/mapdeck_controls.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/mapdeck)

# The sample maps.
set(md_maps_dir ${CMAKE_INSTALL_DATADIR}/mapdeck/maps)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/host/helmora/maps/ DESTINATION ${md_maps_dir} FILES_MATCHING
        PATTERN "*.geojson")

# The component list map frames read when the host program has none beside
# it: empty, so that a host draws frames without a record of a missing list.
install(FILES ${PROJECT_SOURCE_DIR}/layout/graphicelement/mapframe/othercomponents.cfg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mapdeck)

# The package: one imported target over the installed libraries.
list(JOIN md_shared " " md_support_libraries)
set(md_pc_libs "-lmapdeck")
foreach(lib ${md_shared})
  string(APPEND md_pc_libs " -l${lib}")
endforeach()
# Both files find the prefix from where they lie, so an installed tree can move.
file(RELATIVE_PATH md_prefix_from_package /p/${CMAKE_INSTALL_LIBDIR}/cmake/mapdeck /p)
file(RELATIVE_PATH md_prefix_from_pc /p/${CMAKE_INSTALL_LIBDIR}/pkgconfig /p)
set(md_maps_from_prefix ${md_maps_dir})
string(REGEX REPLACE "/$" "" md_prefix_from_pc "${md_prefix_from_pc}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/mapdeckConfig.cmake.in ${PROJECT_BINARY_DIR}/mapdeckConfig.cmake @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/cmake/mapdeck.pc.in ${PROJECT_BINARY_DIR}/mapdeck.pc @ONLY)
include(CMakePackageConfigHelpers)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/mapdeckConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/mapdeckConfig.cmake ${PROJECT_BINARY_DIR}/mapdeckConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/mapdeck)
install(FILES ${PROJECT_BINARY_DIR}/mapdeck.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
