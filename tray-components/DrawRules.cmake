# The windows-free part of the drawing and small picture helpers: also in the
# native build. The slider of the settings program builds on it.
add_library(kx_draw_rules STATIC KxUtilsRules.cpp StrUtils.cpp ClipIconRules.cpp KxMenusRules.cpp)
target_include_directories(kx_draw_rules PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kx_draw_rules PUBLIC framework_rules)
