# Building resource files into a target.
#
# md_embed_resources(target file1 [file2 ...])
#   Compiles each plain-text resource file (dialog templates, string table,
#   combo-box lists; format in resources/FORMAT.md) into `target`: the file's
#   bytes become a generated source that registers them with the dialog
#   framework when the target is loaded. No file is read at run time. Editing
#   a resource file rebuilds only its generated source.
include_guard(GLOBAL)

function(md_embed_resources target)
  set(script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/embed_resource.cmake)
  set(outputs)
  foreach(file ${ARGN})
    get_filename_component(abs ${file} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR} ${abs})
    string(MAKE_C_IDENTIFIER ${rel} ident)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/embedded/${target}/${ident}.cpp)
    add_custom_command(
      OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -DINPUT=${abs} -DOUTPUT=${out} -DNAME=${rel} -P ${script}
      DEPENDS ${abs} ${script}
      COMMENT "Embedding ${rel}"
      VERBATIM)
    list(APPEND outputs ${out})
  endforeach()
  target_sources(${target} PRIVATE ${outputs})
  target_link_libraries(${target} PRIVATE md_ui)
endfunction()
