# brennix_shell: the program's application, frames, document and view (every
# .cpp of src/app but the bases and main.cpp), on every dialog library.
# Brennix: the desktop program.
set(app_dir ${PROJECT_SOURCE_DIR}/src/app)
file(GLOB BRENNIX_SHELL_SOURCES CONFIGURE_DEPENDS ${app_dir}/*.cpp)
list(REMOVE_ITEM BRENNIX_SHELL_SOURCES ${app_dir}/GLView.cpp ${app_dir}/TDialog.cpp ${app_dir}/main.cpp)
if(BRENNIX_SHELL_SOURCES)
  add_library(brennix_shell STATIC ${BRENNIX_SHELL_SOURCES})
  target_link_libraries(brennix_shell PUBLIC brennix_app brennix_run brennix_model)
  foreach(lib brennix_viz brennix_viz_ui brennix_dialogs brennix_meshtools brennix_meshtools_ui)
    if(TARGET ${lib})
      target_link_libraries(brennix_shell PUBLIC ${lib})
    endif()
  endforeach()
endif()

if(EXISTS ${app_dir}/main.cpp)
  add_executable(Brennix ${app_dir}/main.cpp)
  target_link_libraries(Brennix PRIVATE brennix_shell brennix_fltk)
endif()
