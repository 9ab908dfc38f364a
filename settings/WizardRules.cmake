# The settings program's rules that need no Windows: also in the native build.
add_library(wizard_rules STATIC
  ${CMAKE_CURRENT_LIST_DIR}/WizardRules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PageListEditRules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShortcutNameRules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PageListSave.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WizardSave.cpp)
target_include_directories(wizard_rules PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(wizard_rules PUBLIC framework_rules globals_rules)
